#pragma once

#include "platform/Log.h"

#include <memory>

namespace gridlume {

// Sends log records to the systemd journal with SYSLOG_IDENTIFIER=gridlume and the record's
// subsystem and category as GRIDLUME_SUBSYSTEM and GRIDLUME_CATEGORY, so that
// `journalctl -t gridlume GRIDLUME_CATEGORY=HotKeyService` finds them. A record the journal
// refuses goes to standard error instead.
class JournalLogSink final : public LogSink {
public:
    void write(const LogRecord& record) override;

    // Whether this session has a journal to write to.
    static bool isJournalReachable();
    // The journal when it is reachable, else standard error.
    static std::unique_ptr<LogSink> create();

private:
    StandardErrorLogSink m_fallback;
};

} // namespace gridlume
