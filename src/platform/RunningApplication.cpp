#include "RunningApplication.h"

namespace gridlume {

QDebug operator<<(QDebug debug, const RunningApplication& application)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "RunningApplication(pid=" << application.processIdentifier() << ", "
                    << application.localizedName().value_or(QStringLiteral("<no name>")) << ')';
    return debug;
}

} // namespace gridlume
