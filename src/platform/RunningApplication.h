#pragma once

#include <QDebug>
#include <QIcon>
#include <QString>

#include <optional>
#include <sys/types.h>

namespace gridlume {

// A running program, as the workspace reports it. A small value: copies refer to the same
// process. Two values are equal when they name the same process instance: the same process
// identifier *and* the same launch identity, so a recycled pid is a different application.
class RunningApplication {
public:
    RunningApplication() = default;
    RunningApplication(pid_t processIdentifier, quint64 launchIdentity, std::optional<QString> localizedName = {},
        std::optional<QString> bundleIdentifier = {}, QIcon icon = {})
        : m_processIdentifier(processIdentifier)
        , m_launchIdentity(launchIdentity)
        , m_localizedName(std::move(localizedName))
        , m_bundleIdentifier(std::move(bundleIdentifier))
        , m_icon(std::move(icon))
    {
    }

    pid_t processIdentifier() const { return m_processIdentifier; }
    // Distinguishes process instances that share a pid (on Linux: the process start time).
    quint64 launchIdentity() const { return m_launchIdentity; }
    // The name shown to users ("Terminal"); absent when the program has none.
    const std::optional<QString>& localizedName() const { return m_localizedName; }
    // A stable identifier of the program ("org.gnome.Terminal"); absent when unknown.
    const std::optional<QString>& bundleIdentifier() const { return m_bundleIdentifier; }
    // The program's icon; null when it has none.
    const QIcon& icon() const { return m_icon; }

    friend bool operator==(const RunningApplication& a, const RunningApplication& b)
    {
        return a.m_processIdentifier == b.m_processIdentifier && a.m_launchIdentity == b.m_launchIdentity;
    }

private:
    pid_t m_processIdentifier = 0;
    quint64 m_launchIdentity = 0;
    std::optional<QString> m_localizedName;
    std::optional<QString> m_bundleIdentifier;
    QIcon m_icon;
};

QDebug operator<<(QDebug debug, const RunningApplication& application);

} // namespace gridlume
