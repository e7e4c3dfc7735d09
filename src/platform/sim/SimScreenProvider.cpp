#include "platform/sim/SimScreenProvider.h"

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimTrust.h"

namespace gridlume {

SimScreenProvider::SimScreenProvider(SimDesktop& desktop)
    : m_desktop(desktop)
{
}

QList<Screen> SimScreenProvider::screens() const
{
    return m_desktop.screens();
}

bool SimTrust::isProcessTrusted() const
{
    return m_desktop.m_trusted;
}

} // namespace gridlume
