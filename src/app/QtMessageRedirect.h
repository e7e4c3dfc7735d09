#pragma once

#include "platform/Log.h"

#include <QtGlobal>

namespace gridlume {

// While it lives, Qt's own warnings, critical and fatal messages go to the program's log sink
// (category "Qt"), so that the journal tells why Qt gave up, e.g. when the X server goes away
// and Qt ends the program. Debug and info messages keep Qt's default handling. One at a time;
// messages may come from any thread.
class QtMessageRedirect {
public:
    explicit QtMessageRedirect(LogSink& logSink);
    ~QtMessageRedirect();
    QtMessageRedirect(const QtMessageRedirect&) = delete;
    QtMessageRedirect& operator=(const QtMessageRedirect&) = delete;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler m_previousHandler = nullptr;
};

} // namespace gridlume
