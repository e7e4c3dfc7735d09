#pragma once

#include "X11TestDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <optional>

namespace gridlume::test {

// KDE Plasma's compositor on Wayland as a test desktop: kwin_wayland on two virtual outputs of
// outputSize, side by side from (0, 0), with a session bus of its own and the test dock on its
// Xwayland, which is the desktop's X display. The programs started on it see the Wayland display
// too.
class KWinTestDesktop final : public X11TestDesktop {
public:
    static constexpr Size outputSize { 1280, 1024 };

    KWinTestDesktop();

    // The profile: KWin is the window manager, started with the session.
    static const DesktopProfile& profile();
    // Why kwin_wayland cannot run here (not installed, refused to start), or none.
    static std::optional<QString> problem();

    // A call to KDE's shortcut service on `bus`: org.kde.KGlobalAccel on /kglobalaccel, a
    // component's interface on its path; the reply.
    static QDBusMessage callShortcutService(const QString& path, const QString& method,
        const QVariantList& arguments = {}, QDBusConnection bus = QDBusConnection::sessionBus());

protected:
    bool startSession(QString* error) override;
};

} // namespace gridlume::test
