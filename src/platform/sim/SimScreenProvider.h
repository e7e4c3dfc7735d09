#pragma once

#include "platform/Screens.h"

namespace gridlume {

class SimDesktop;

class SimScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    explicit SimScreenProvider(SimDesktop& desktop);
    QList<Screen> screens() const override;

private:
    SimDesktop& m_desktop;
};

} // namespace gridlume
