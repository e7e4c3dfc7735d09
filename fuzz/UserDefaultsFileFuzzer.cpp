// Loading the settings file: IniUserDefaults over whatever the file holds, then every key read
// under every type, as the settings store does at start-up. The file must never be damaged: one
// that is refused stays byte for byte as it was after a save, and one that is accepted keeps
// every value it held when another key is saved.
#include "hotkeys/KeyboardShortcut.h"
#include "platform/IniUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace gridlume;

namespace {

class DiscardingLogSink final : public LogSink {
public:
    void write(const LogRecord&) override { }
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of a file IniUserDefaults accepted (only then may QSettings see it: a refused file can
// hold values that QSettings decodes into gigabytes).
QStringList keysIn(const QString& path, bool isAccepted)
{
    QStringList keys = isAccepted ? QSettings(path, QSettings::IniFormat).allKeys() : QStringList();
    // The keys the program reads, whether or not the file has them.
    keys << QStringLiteral("tilingPanelKeyboardShortcut") << QStringLiteral("keepTilingPanelOpenAfterTiling")
         << QStringLiteral("appAppearance");
    return keys;
}

QString temporaryDirectoryTemplate()
{
    // Every save is an atomic replace with an fsync; on a RAM file system that costs nothing.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return base + QStringLiteral("/gridlume-fuzz-XXXXXX");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // QSettings warns about every @Variant it cannot decode; the fuzzer would spend its time
    // printing them.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir directory(temporaryDirectoryTemplate());
    static quint64 run = 0;
    // QSettings caches parsed files by name and trusts the cache while size and time stamp are
    // unchanged, so a name is not reused soon; a small set of names keeps the cache from growing.
    const QString path = directory.filePath(QStringLiteral("Gridlume-%1.conf").arg(++run % 64));
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            std::abort();
    }

    DiscardingLogSink log;
    QMap<QString, DefaultsValue> values;
    {
        IniUserDefaults defaults(log, path);
        for (const QString& key : keysIn(path, defaults.fileState() == IniUserDefaults::FileState::Usable)) {
            if (const auto value = defaults.objectForKey(key))
                values.insert(key, *value);
            (void)defaults.stringForKey(key);
            (void)defaults.boolForKey(key);
            if (const auto json = defaults.dataForKey(key))
                (void)KeyboardShortcut::fromJson(*json);
        }

        const IniUserDefaults::FileState state = defaults.fileState();
        defaults.setBool(QStringLiteral("fuzzerWroteThis"), true);
        if (state != IniUserDefaults::FileState::Usable) {
            if (readFile(path) != content)
                std::abort();
        }
    }
    IniUserDefaults reloaded(log, path);
    if (reloaded.fileState() == IniUserDefaults::FileState::Usable) {
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            if (it.key() != QLatin1String("fuzzerWroteThis") && reloaded.objectForKey(it.key()) != it.value())
                std::abort();
        }
    }
    QFile::remove(path);
    return 0;
}
