#include "DesktopEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace gridlume {

namespace {

    // Undoes the escapes of the "string" and "localestring" value types.
    QString unescape(const QByteArray& raw)
    {
        QString value = QString::fromUtf8(raw);
        QString result;
        result.reserve(value.size());
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c != u'\\' || i + 1 == value.size()) {
                result.append(c);
                continue;
            }
            const QChar next = value.at(++i);
            if (next == u's')
                result.append(u' ');
            else if (next == u'n')
                result.append(u'\n');
            else if (next == u't')
                result.append(u'\t');
            else if (next == u'r')
                result.append(u'\r');
            else
                result.append(next);
        }
        return result;
    }

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray& contents, const QString& id, const QStringList& localeNames)
{
    QHash<QByteArray, QByteArray> values;
    bool inEntryGroup = false;
    bool sawEntryGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            sawEntryGroup = sawEntryGroup || inEntryGroup;
            continue;
        }
        if (!inEntryGroup)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        // "the first occurrence of a key wins" is the common reading of duplicate keys.
        if (!values.contains(key))
            values.insert(key, line.mid(equals + 1).trimmed());
    }
    if (!sawEntryGroup || values.value("Type") != "Application" || values.value("Hidden") == "true")
        return std::nullopt;

    DesktopEntry entry;
    entry.id = id;
    entry.name = unescape(values.value("Name"));
    for (const QString& locale : localeNames) {
        const QByteArray key = "Name[" + locale.toUtf8() + ']';
        if (values.contains(key)) {
            entry.name = unescape(values.value(key));
            break;
        }
    }
    entry.icon = unescape(values.value("Icon"));
    entry.startupWMClass = unescape(values.value("StartupWMClass"));
    return entry;
}

ApplicationNaming nameApplication(const std::optional<DesktopEntry>& entry, const QString& className, pid_t pid)
{
    ApplicationNaming naming;
    if (entry) {
        naming.identifier = entry->id;
        if (!entry->name.isEmpty())
            naming.name = entry->name;
        if (QFileInfo(entry->icon).isAbsolute())
            naming.icon = QIcon(entry->icon);
        else if (!entry->icon.isEmpty())
            naming.icon = QIcon::fromTheme(entry->icon);
    }
    if (!naming.name && !className.isEmpty())
        naming.name = className;
    if (!naming.name) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly)) {
            const QString command = QString::fromLocal8Bit(comm.readAll().trimmed());
            if (!command.isEmpty())
                naming.name = command;
        }
    }
    return naming;
}

} // namespace gridlume
