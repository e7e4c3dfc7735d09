#include "DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QSet>

namespace gridlume {

DesktopEntryIndex::DesktopEntryIndex(QStringList applicationDirectories, QStringList localeNames)
    : m_directories(std::move(applicationDirectories))
    , m_localeNames(std::move(localeNames))
{
}

QStringList DesktopEntryIndex::standardDirectories()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList result { dataHome + QStringLiteral("/applications") };
    for (const QString& directory : dataDirs.split(u':', Qt::SkipEmptyParts))
        result.append(directory + QStringLiteral("/applications"));
    return result;
}

QStringList DesktopEntryIndex::systemLocaleNames()
{
    const QString name = QLocale::system().name();
    QStringList result { name };
    const qsizetype underscore = name.indexOf(u'_');
    if (underscore > 0)
        result.append(name.left(underscore));
    return result;
}

void DesktopEntryIndex::load() const
{
    m_didLoad = true;
    QSet<QString> seenIds;
    for (const QString& directory : m_directories) {
        const QString prefix = QDir(directory).absolutePath() + u'/';
        QDirIterator it(directory, { QStringLiteral("*.desktop") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QString id = path.mid(prefix.size());
            id.chop(int(sizeof(".desktop") - 1));
            id.replace(u'/', u'-');
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            if (auto entry = DesktopEntry::parse(file.readAll(), id, m_localeNames))
                m_entries.push_back(std::move(*entry));
        }
    }
}

std::optional<DesktopEntry> DesktopEntryIndex::find(const QString& instanceName, const QString& className) const
{
    if (!m_didLoad)
        load();
    const QStringList names = { className, instanceName };
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        for (const DesktopEntry& entry : m_entries) {
            if (entry.startupWMClass == name)
                return entry;
        }
    }
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        for (const DesktopEntry& entry : m_entries) {
            const QString lastPart = entry.id.section(u'.', -1);
            if (entry.id.compare(name, Qt::CaseInsensitive) == 0 || lastPart.compare(name, Qt::CaseInsensitive) == 0)
                return entry;
        }
    }
    return std::nullopt;
}

} // namespace gridlume
