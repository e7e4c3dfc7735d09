#include "Log.h"

#include <QGuiApplication>

#include <cstdarg>
#include <cstdio>

namespace gridlume {

void StandardErrorLogSink::write(const LogRecord& record)
{
    const char* level = record.level == LogLevel::Error ? "error"
        : record.level == LogLevel::Warning             ? "warning"
        : record.level == LogLevel::Info                ? "info"
                                                        : "debug";
    std::fprintf(stderr, "%s [%s:%s] %s\n", level, qUtf8Printable(record.subsystem), qUtf8Printable(record.category),
        qUtf8Printable(record.message));
}

QStringList CapturingLogSink::messages(const QString& category) const
{
    QStringList result;
    for (const LogRecord& record : m_records) {
        if (category.isEmpty() || record.category == category)
            result.append(record.message);
    }
    return result;
}

QString applicationIdentifier()
{
    const QString name = QGuiApplication::desktopFileName();
    return name.isEmpty() ? QStringLiteral("Gridlume") : name;
}

Logger::Logger(LogSink& sink, QString category, QString subsystem)
    : m_sink(&sink)
    , m_category(std::move(category))
    , m_subsystem(std::move(subsystem))
{
}

void Logger::log(LogLevel level, const QString& message) const
{
    m_sink->write(LogRecord { m_subsystem, m_category, level, message });
}

void Logger::error(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    const QString message = formatLogMessage(format, args);
    va_end(args);
    log(LogLevel::Error, message);
}

void Logger::warning(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    const QString message = formatLogMessage(format, args);
    va_end(args);
    log(LogLevel::Warning, message);
}

void Logger::info(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    const QString message = formatLogMessage(format, args);
    va_end(args);
    log(LogLevel::Info, message);
}

QString formatLogMessage(const char* format, va_list args)
{
    QByteArray plain(format);
    plain.replace("%{public}", "%");
    return QString::vasprintf(plain.constData(), args);
}

} // namespace gridlume
