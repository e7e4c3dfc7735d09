#include "app/QtMessageRedirect.h"

#include <atomic>

namespace gridlume {

namespace {

    std::atomic<LogSink*> redirectedSink { nullptr };
    std::atomic<QtMessageHandler> previousHandler { nullptr };

} // namespace

QtMessageRedirect::QtMessageRedirect(LogSink& logSink)
{
    redirectedSink = &logSink;
    m_previousHandler = qInstallMessageHandler(&QtMessageRedirect::handleMessage);
    previousHandler = m_previousHandler;
}

QtMessageRedirect::~QtMessageRedirect()
{
    qInstallMessageHandler(m_previousHandler);
    redirectedSink = nullptr;
}

void QtMessageRedirect::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogSink* sink = redirectedSink;
    if (!sink || type == QtDebugMsg || type == QtInfoMsg) {
        if (const QtMessageHandler previous = previousHandler)
            previous(type, context, message);
        return;
    }
    sink->write(LogRecord { applicationIdentifier(), QStringLiteral("Qt"), LogLevel::Error, message });
}

} // namespace gridlume
