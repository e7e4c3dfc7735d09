#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace gridlume {

enum class LogLevel {
    Debug,
    Info,
    Warning,
    Error,
};

struct LogRecord {
    QString subsystem;
    QString category;
    LogLevel level = LogLevel::Info;
    QString message;
    friend bool operator==(const LogRecord&, const LogRecord&) = default;
};

// Where log records go (the journal, standard error, a test's capture).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(const LogRecord& record) = 0;
};

// Writes "<level> [<subsystem>:<category>] <message>" lines to standard error.
class StandardErrorLogSink final : public LogSink {
public:
    void write(const LogRecord& record) override;
};

// Keeps every record in memory, for tests and diagnostics.
class CapturingLogSink final : public LogSink {
public:
    void write(const LogRecord& record) override { m_records.append(record); }
    const QList<LogRecord>& records() const { return m_records; }
    // The messages of the records of one category (all categories when empty).
    QStringList messages(const QString& category = {}) const;
    void clear() { m_records.clear(); }

private:
    QList<LogRecord> m_records;
};

// The application's identifier, used as every logger's subsystem: the desktop file name the
// application declares, or "Gridlume" when it declares none.
QString applicationIdentifier();

// One logger per class: a fixed subsystem and category in front of every message.
//
// Formats are printf formats; the "%{public}s" marker of the original log formats is accepted
// and means "%s". Strings are passed as UTF-8 (qUtf8Printable).
class Logger {
public:
    Logger(LogSink& sink, QString category, QString subsystem = applicationIdentifier());

    const QString& subsystem() const { return m_subsystem; }
    const QString& category() const { return m_category; }

    void error(const char* format, ...) const Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    void warning(const char* format, ...) const Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    void info(const char* format, ...) const Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    void log(LogLevel level, const QString& message) const;

private:
    LogSink* m_sink;
    QString m_category;
    QString m_subsystem;
};

// "%{public}s" -> "%s", then printf-style formatting into a QString.
QString formatLogMessage(const char* format, va_list args);

} // namespace gridlume
