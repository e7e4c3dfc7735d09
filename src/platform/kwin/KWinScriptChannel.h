#pragma once

#include "platform/Log.h"

#include <QDBusConnection>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QThread>

#include <chrono>
#include <memory>
#include <optional>

class QTemporaryDir;

namespace gridlume {

class KWinScriptEndpoint;

// Gridlume's script inside KWin, and the way to talk to it.
//
// The script is loaded through KWin's scripting service (org.kde.KWin /Scripting) when the
// channel opens and unloaded when it goes. It calls back on a private connection to the session
// bus, served on a thread of the channel's own (see KWinScriptEndpoint), so request() can block
// the main thread like the window-system calls it stands for. Main thread only.
class KWinScriptChannel final : public QObject {
    Q_OBJECT
public:
    // True when the session bus has KWin's scripting service.
    static bool isKWinAvailable();

    // Loads the script and waits for its first answer; null with a one-line reason when KWin
    // does not load or run it.
    static std::unique_ptr<KWinScriptChannel> open(LogSink& logSink, QString* errorMessage);
    ~KWinScriptChannel() override;

    enum class Silence {
        // No answer in time means KWin or the script is not there: logged once per outage.
        IsFailure,
        // The script answers only once something happens (a window settles): the caller copes.
        IsExpected,
    };

    // Sends `request` (its "op" and arguments) and waits for the script's answer until `timeout`
    // has passed. None when the script does not answer in time (KWin hangs, the script was
    // unloaded, or what the request waits for did not happen).
    std::optional<QJsonObject> request(
        QJsonObject request, std::chrono::milliseconds timeout, Silence silence = Silence::IsFailure);

    // How long a request waits for KWin at most.
    static constexpr std::chrono::milliseconds answerDeadline { 2000 };

Q_SIGNALS:
    // An event the script reported ("screensMayHaveChanged", "activated") with its data; main
    // thread.
    void eventReceived(const QString& kind, const QJsonValue& data);

private:
    KWinScriptChannel(LogSink& logSink, QDBusConnection connection);
    bool load(QString* errorMessage);
    void unload();
    void dispatchEvent(const QString& text);

    Logger m_logger;
    QDBusConnection m_connection;
    QThread m_thread;
    std::unique_ptr<KWinScriptEndpoint> m_endpoint;
    std::unique_ptr<QTemporaryDir> m_scriptDirectory;
    QString m_scriptName;
    int m_nextRequestID = 1;
    bool m_didReportSilence = false;
};

} // namespace gridlume
