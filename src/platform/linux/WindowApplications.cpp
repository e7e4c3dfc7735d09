#include "WindowApplications.h"

#include "ProcessStartTime.h"

namespace gridlume {

std::optional<RunningApplication> WindowApplications::application(
    pid_t pid, const QString& desktopFileName, const QString& instanceName, const QString& className) const
{
    if (pid <= 0)
        return std::nullopt;
    const std::optional<quint64> startTime = processStartTime(pid);
    if (!startTime)
        return std::nullopt;
    const auto key = qMakePair(pid, *startTime);
    if (auto cached = m_cache.constFind(key); cached != m_cache.constEnd())
        return *cached;

    std::optional<DesktopEntry> entry;
    if (!desktopFileName.isEmpty())
        entry = m_desktopEntries.find(desktopFileName, desktopFileName);
    if (!entry)
        entry = m_desktopEntries.find(instanceName, className);
    const ApplicationNaming naming = nameApplication(entry, className, pid);
    RunningApplication application(pid, *startTime, naming.name, naming.identifier, naming.icon);
    m_cache.insert(key, application);
    return application;
}

} // namespace gridlume
