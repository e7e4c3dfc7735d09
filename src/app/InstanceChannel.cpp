#include "app/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace gridlume {

namespace {

    constexpr qint64 maximumCommandLength = 256;
    constexpr qint64 maximumAnswerLength = 4096;

    // A folder only we can enter: ours, not a symbolic link, mode 0700.
    bool isPrivateFolder(const QString& path)
    {
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return false;
        return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
    }

} // namespace

InstanceChannel::InstanceChannel(QString socketPath, QObject* parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{
}

InstanceChannel::~InstanceChannel()
{
    if (m_server)
        m_server->close();
}

QString InstanceChannel::defaultSocketPath(const QByteArray& displayName)
{
    QString display = QString::fromLocal8Bit(displayName);
    display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    if (display.isEmpty())
        display = QStringLiteral("default");
    const QString fileName = QStringLiteral("gridlume-%1.socket").arg(display);

    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return QDir(runtime).filePath(fileName);
    const QString fallback = QDir::temp().filePath(QStringLiteral("gridlume-%1").arg(::getuid()));
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    if (!isPrivateFolder(fallback))
        return {};
    return QDir(fallback).filePath(fileName);
}

bool InstanceChannel::becomePrimaryInstance(QString* error)
{
    if (m_socketPath.isEmpty()) {
        if (error)
            *error = tr("no private folder for the instance socket");
        return false;
    }
    auto lock = std::make_unique<QLockFile>(m_socketPath + QStringLiteral(".lock"));
    // A lock whose owner died is taken over (QLockFile checks the process).
    if (!lock->tryLock(0)) {
        if (error)
            *error = lock->error() == QLockFile::LockFailedError ? tr("another instance is running")
                                                                 : tr("cannot create the lock file");
        return false;
    }
    // The lock is ours: a socket file left there is from an instance that is gone.
    QLocalServer::removeServer(m_socketPath);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath)) {
        if (error)
            *error = server->errorString();
        return false;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    m_lock = std::move(lock);
    m_server = std::move(server);
    return true;
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maximumCommandLength)
                    socket->abort();
                return;
            }
            const QByteArray command = socket->readLine(maximumCommandLength).trimmed();
            const bool known = command == showSettingsCommand || command == toggleCommand;
            QByteArray answer = known ? QByteArray("ok") : QByteArray("unknown");
            if (m_requestHandler && command.startsWith(placeCommand + ' '))
                answer = m_requestHandler(command).replace('\n', ' ');
            socket->write(answer + '\n');
            socket->flush();
            socket->disconnectFromServer();
            if (known)
                Q_EMIT commandReceived(command);
        });
    }
}

bool InstanceChannel::sendToPrimaryInstance(const QByteArray& command, int timeoutMs, QString* error) const
{
    const std::optional<QByteArray> answer = requestFromPrimaryInstance(command, timeoutMs, error);
    if (!answer)
        return false;
    if (*answer != "ok") {
        if (error)
            *error = tr("the running instance did not understand '%1'").arg(QString::fromLatin1(command));
        return false;
    }
    return true;
}

std::optional<QByteArray> InstanceChannel::requestFromPrimaryInstance(
    const QByteArray& command, int timeoutMs, QString* error) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    auto fail = [&](const QString& message) -> std::optional<QByteArray> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!socket.waitForConnected(timeoutMs))
        return fail(socket.errorString());
    socket.write(command + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return fail(socket.errorString());
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return fail(tr("no answer from the running instance"));
    }
    return socket.readLine(maximumAnswerLength).trimmed();
}

} // namespace gridlume
