#include "KWinScriptChannel.h"

#include "KWinScriptEndpoint.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <unistd.h>

namespace gridlume {

namespace {

    const QString kKWinService = QStringLiteral("org.kde.KWin");
    const QString kScriptingPath = QStringLiteral("/Scripting");
    const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

    QDBusMessage scriptingCall(const QString& method)
    {
        return QDBusMessage::createMethodCall(kKWinService, kScriptingPath, kScriptingInterface, method);
    }

} // namespace

bool KWinScriptChannel::isKWinAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kKWinService))
        return false;
    // KWin on X11 has the same service; only KWin on Wayland can move other programs' windows for
    // us, and an X11 session is served by the X11 backend anyway.
    QDBusMessage introspect = QDBusMessage::createMethodCall(kKWinService, kScriptingPath,
        QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    const QDBusReply<QString> reply = bus.call(introspect, QDBus::Block, 3000);
    return reply.isValid() && reply.value().contains(kScriptingInterface);
}

KWinScriptChannel::KWinScriptChannel(LogSink& logSink, QDBusConnection connection)
    : m_logger(logSink, QStringLiteral("KWin"))
    , m_connection(std::move(connection))
{
    m_thread.setObjectName(QStringLiteral("KWin script"));
    m_endpoint = std::make_unique<KWinScriptEndpoint>(m_connection);
    m_endpoint->moveToThread(&m_thread);
    connect(m_endpoint.get(), &KWinScriptEndpoint::eventReceived, this, &KWinScriptChannel::dispatchEvent);
    m_thread.start();
}

std::unique_ptr<KWinScriptChannel> KWinScriptChannel::open(LogSink& logSink, QString* errorMessage)
{
    // A connection of its own, so that the script's calls are served on the endpoint's thread
    // whatever the main thread is doing.
    QDBusConnection connection
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("gridlume-kwin-script"));
    if (!connection.isConnected()) {
        *errorMessage = QStringLiteral("cannot connect to the session bus: ") + connection.lastError().message();
        return nullptr;
    }
    std::unique_ptr<KWinScriptChannel> channel(new KWinScriptChannel(logSink, connection));
    if (!channel->load(errorMessage))
        return nullptr;
    return channel;
}

bool KWinScriptChannel::load(QString* errorMessage)
{
    if (!m_connection.registerObject(QStringLiteral("/Gridlume"), m_endpoint.get(), QDBusConnection::ExportAllSlots)) {
        *errorMessage = QStringLiteral("cannot serve Gridlume's KWin script on the session bus");
        return false;
    }
    QFile source(QStringLiteral(":/gridlume/kwin/gridlume-kwin.js"));
    m_scriptDirectory = std::make_unique<QTemporaryDir>();
    if (!source.open(QIODevice::ReadOnly) || !m_scriptDirectory->isValid()) {
        *errorMessage = QStringLiteral("cannot write Gridlume's KWin script to a temporary folder");
        return false;
    }
    QByteArray text = source.readAll();
    text.replace("@SERVICE@", m_connection.baseService().toUtf8());
    text.replace("@PID@", QByteArray::number(::getpid()));
    const QString path = m_scriptDirectory->filePath(QStringLiteral("gridlume-kwin.js"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write(text) != text.size()) {
        *errorMessage = QStringLiteral("cannot write Gridlume's KWin script to a temporary folder");
        return false;
    }
    script.close();

    // One name per process: a script a crashed Gridlume left behind keeps its own name and ends
    // its loop once its calls fail.
    m_scriptName = QStringLiteral("gridlume-%1").arg(::getpid());
    QDBusMessage loadCall = scriptingCall(QStringLiteral("loadScript"));
    loadCall << path << m_scriptName;
    const QDBusReply<int> loaded = m_connection.call(loadCall, QDBus::Block, 5000);
    if (!loaded.isValid() || loaded.value() < 0) {
        *errorMessage = QStringLiteral("KWin did not load Gridlume's script: %1")
                            .arg(loaded.isValid() ? QStringLiteral("it refused it") : loaded.error().message());
        return false;
    }
    const QDBusMessage started = m_connection.call(scriptingCall(QStringLiteral("start")), QDBus::Block, 5000);
    if (started.type() == QDBusMessage::ErrorMessage) {
        unload();
        *errorMessage = QStringLiteral("KWin did not start Gridlume's script: ") + started.errorMessage();
        return false;
    }
    if (!request(QJsonObject { { QStringLiteral("op"), QStringLiteral("screens") } }, std::chrono::seconds(5))) {
        unload();
        *errorMessage = QStringLiteral("Gridlume's KWin script does not answer");
        return false;
    }
    return true;
}

void KWinScriptChannel::unload()
{
    if (m_scriptName.isEmpty())
        return;
    QDBusMessage unloadCall = scriptingCall(QStringLiteral("unloadScript"));
    unloadCall << m_scriptName;
    m_connection.call(unloadCall, QDBus::Block, 3000);
    m_scriptName.clear();
}

KWinScriptChannel::~KWinScriptChannel()
{
    unload();
    m_connection.unregisterObject(QStringLiteral("/Gridlume"));
    QMetaObject::invokeMethod(m_endpoint.get(), &KWinScriptEndpoint::stop, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_endpoint.reset();
    QDBusConnection::disconnectFromBus(m_connection.name());
}

std::optional<QJsonObject> KWinScriptChannel::request(
    QJsonObject request, std::chrono::milliseconds timeout, Silence silence)
{
    const int id = m_nextRequestID++;
    request.insert(QStringLiteral("id"), id);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    m_endpoint->send(id, QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    const std::optional<QString> reply = m_endpoint->waitForReply(id, deadline);
    if (!reply) {
        if (silence == Silence::IsFailure && !std::exchange(m_didReportSilence, true))
            m_logger.error("Gridlume's KWin script did not answer \"%s\" within %lld ms",
                qUtf8Printable(request.value(QStringLiteral("op")).toString()),
                static_cast<long long>(timeout.count()));
        return std::nullopt;
    }
    m_didReportSilence = false;
    return QJsonDocument::fromJson(reply->toUtf8()).object();
}

void KWinScriptChannel::dispatchEvent(const QString& text)
{
    const QJsonObject event = QJsonDocument::fromJson(text.toUtf8()).object();
    Q_EMIT eventReceived(event.value(QStringLiteral("kind")).toString(), event.value(QStringLiteral("data")));
}

} // namespace gridlume
