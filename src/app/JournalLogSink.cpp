#include "app/JournalLogSink.h"

#include <QFileInfo>

#include <syslog.h>
#include <systemd/sd-journal.h>

namespace gridlume {

namespace {

    int priority(LogLevel level)
    {
        switch (level) {
        case LogLevel::Error:
            return LOG_ERR;
        case LogLevel::Warning:
            return LOG_WARNING;
        case LogLevel::Info:
            return LOG_INFO;
        case LogLevel::Debug:
            break;
        }
        return LOG_DEBUG;
    }

} // namespace

void JournalLogSink::write(const LogRecord& record)
{
    const int status = sd_journal_send("MESSAGE=%s", qUtf8Printable(record.message), "PRIORITY=%i",
        priority(record.level), "SYSLOG_IDENTIFIER=gridlume", "GRIDLUME_SUBSYSTEM=%s",
        qUtf8Printable(record.subsystem), "GRIDLUME_CATEGORY=%s", qUtf8Printable(record.category), nullptr);
    if (status < 0)
        m_fallback.write(record);
}

bool JournalLogSink::isJournalReachable()
{
    return QFileInfo(QStringLiteral("/run/systemd/journal/socket")).exists();
}

std::unique_ptr<LogSink> JournalLogSink::create()
{
    if (isJournalReachable())
        return std::make_unique<JournalLogSink>();
    return std::make_unique<StandardErrorLogSink>();
}

} // namespace gridlume
