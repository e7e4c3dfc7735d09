#include "X11Trust.h"

#include "X11Connection.h"

namespace gridlume {

bool X11Trust::isProcessTrusted() const { return m_connection.isUsable(); }

} // namespace gridlume
