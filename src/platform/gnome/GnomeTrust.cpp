#include "GnomeTrust.h"

#include "GnomeShellChannel.h"

namespace gridlume {

bool GnomeTrust::isProcessTrusted() const
{
    return m_channel.isAvailable();
}

} // namespace gridlume
