#include "IniUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

namespace gridlume {

namespace {

    std::optional<DefaultsValue> fromVariant(const QVariant& variant)
    {
        switch (variant.typeId()) {
        case QMetaType::QByteArray:
            return variant.toByteArray();
        case QMetaType::Bool:
            return variant.toBool();
        case QMetaType::QString: {
            const QString text = variant.toString();
            if (text == QLatin1String("true"))
                return true;
            if (text == QLatin1String("false"))
                return false;
            return text;
        }
        default:
            // Lists ("a, b" parses as one) and @Variant(...) values are no type we store.
            return std::nullopt;
        }
    }

    // Whether a value is a serialised Qt object (@Variant, @DateTime), which Gridlume never
    // writes. QSettings decodes those with QDataStream, which trusts the sizes in the data: a few
    // bytes can claim a list of a billion elements and make it reserve gigabytes.
    bool holdsSerializedObjects(const QByteArray& content)
    {
        for (const QByteArray& line : content.split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals < 0)
                continue;
            QByteArray value = line.mid(equals + 1).trimmed();
            if (value.startsWith('"'))
                value.remove(0, 1);
            if (value.startsWith("@Variant(") || value.startsWith("@DateTime("))
                return true;
        }
        return false;
    }

    QVariant toVariant(const DefaultsValue& value)
    {
        return std::visit([](const auto& v) { return QVariant::fromValue(v); }, value);
    }

} // namespace

IniUserDefaults::IniUserDefaults(LogSink& logSink, QString filePath)
    : m_logger(logSink, QStringLiteral("UserDefaults"))
    , m_filePath(filePath.isEmpty() ? defaultFilePath() : std::move(filePath))
{
    load();
}

QString IniUserDefaults::defaultFilePath()
{
    // QSettings decides the folder ($XDG_CONFIG_HOME/Gridlume); the file is named like the other
    // configuration files of a Linux desktop, Gridlume.conf, whatever suffix the INI format would pick.
    const QFileInfo ini(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Gridlume"),
        QStringLiteral("Gridlume"))
                            .fileName());
    return ini.dir().filePath(QStringLiteral("Gridlume.conf"));
}

void IniUserDefaults::load()
{
    QFileInfo info(m_filePath);
    if (!info.exists())
        return;

    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_fileState = FileState::Unreadable;
        m_logger.error("Cannot read the settings file %s (%s); running on default settings. Changes are kept until "
                       "Gridlume quits and the file is left untouched.",
            qUtf8Printable(m_filePath), qUtf8Printable(file.errorString()));
        return;
    }
    // QSettings reads almost anything as INI and would rewrite it on the next save, dropping
    // whatever it did not understand. Refuse files that are not text before it sees them.
    const QByteArray content = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)decoder.decode(content);
    const bool isText = !decoder.hasError() && !content.contains('\0');
    if (!isText || holdsSerializedObjects(content)) {
        refuseDamagedFile();
        return;
    }

    QSettings settings(m_filePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        refuseDamagedFile();
        return;
    }
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys) {
        if (auto value = fromVariant(settings.value(key)))
            m_values.insert(key, *value);
    }
}

void IniUserDefaults::refuseDamagedFile()
{
    m_fileState = FileState::Corrupt;
    m_logger.error("The settings file %s is damaged and cannot be read; running on default settings. Changes are "
                   "kept until Gridlume quits and the file is left untouched.",
        qUtf8Printable(m_filePath));
}

std::optional<DefaultsValue> IniUserDefaults::objectForKey(const QString& key) const
{
    auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

void IniUserDefaults::setObject(const QString& key, const DefaultsValue& value)
{
    m_values.insert(key, value);
    save(key, value);
}

void IniUserDefaults::removeObject(const QString& key)
{
    m_values.remove(key);
    save(key, std::nullopt);
}

void IniUserDefaults::save(const QString& key, const std::optional<DefaultsValue>& value)
{
    if (m_fileState == FileState::Unreadable || m_fileState == FileState::Corrupt)
        return;

    QSettings settings(m_filePath, QSettings::IniFormat);
    if (value)
        settings.setValue(key, toVariant(*value));
    else
        settings.remove(key);
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        if (m_fileState == FileState::Unwritable)
            m_logger.info("Settings are saved to %s again", qUtf8Printable(m_filePath));
        m_fileState = FileState::Usable;
        return;
    }
    if (m_fileState != FileState::Unwritable) {
        m_logger.error("Cannot save settings to %s; changes are kept until Gridlume quits.",
            qUtf8Printable(m_filePath));
    }
    m_fileState = FileState::Unwritable;
}

} // namespace gridlume
