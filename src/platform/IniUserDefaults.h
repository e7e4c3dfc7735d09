#pragma once

#include "Log.h"
#include "UserDefaults.h"

#include <QMap>

namespace gridlume {

// User defaults kept in an INI file, read once at construction and written through on every
// change (QSettings, which replaces the file atomically).
//
// Types survive the round trip: data is stored as @ByteArray(...), a bool as true/false, a
// string as itself. (A string whose whole text is "true" or "false" therefore reads back as a
// bool; numbers read back as strings. The program stores neither.)
//
// A file that exists but cannot be read, or cannot be parsed, is never written: the store
// starts from defaults, logs the cause once, and keeps this session's changes in memory only,
// so the user's file is left exactly as it was. A file that can be read but not written works
// the same way for writes: values are read from it, changes last until the program quits, and
// the first failed save is logged.
class IniUserDefaults final : public UserDefaults {
public:
    enum class FileState {
        // Read (or absent, to be created on the first write) and writable.
        Usable,
        // Exists but could not be read; running on defaults, not written.
        Unreadable,
        // Exists but is not a settings file we can parse; running on defaults, not written.
        Corrupt,
        // Read, but the last save failed; changes are kept in memory.
        Unwritable,
    };

    // `filePath` defaults to defaultFilePath().
    explicit IniUserDefaults(LogSink& logSink, QString filePath = {});

    // $XDG_CONFIG_HOME/Gridlume/Gridlume.conf (~/.config/Gridlume/Gridlume.conf).
    static QString defaultFilePath();

    const QString& filePath() const { return m_filePath; }
    FileState fileState() const { return m_fileState; }

    std::optional<DefaultsValue> objectForKey(const QString& key) const override;
    void setObject(const QString& key, const DefaultsValue& value) override;
    void removeObject(const QString& key) override;

private:
    void load();
    // A file that is not one Gridlume could have written: defaults, and the file is never saved.
    void refuseDamagedFile();
    void save(const QString& key, const std::optional<DefaultsValue>& value);

    Logger m_logger;
    QString m_filePath;
    FileState m_fileState = FileState::Usable;
    QMap<QString, DefaultsValue> m_values;
};

} // namespace gridlume
