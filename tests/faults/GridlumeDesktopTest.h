#pragma once

#include "GridlumeUnderTest.h"
#include "GridlumeWindows.h"
#include "X11TestDesktop.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gridlume::test {

// Whether a window's frame is on `block`, give or take the rounding of a size increment; a
// window with size increments (`tolerance`) keeps the largest size of its grid at the block's
// top-left.
inline bool isNear(const std::optional<Rect>& frame, const QRect& block, Size tolerance = {})
{
    return frame && std::abs(frame->minX() - block.x()) <= 2 && std::abs(frame->minY() - block.y()) <= 2
        && frame->width() <= block.width() + 2 && frame->width() >= block.width() - tolerance.width - 2
        && frame->height() <= block.height() + 2 && frame->height() >= block.height() - tolerance.height - 2;
}

inline QRect pixelRect(const Rect& rect)
{
    return QRect(int(rect.minX()), int(rect.minY()), int(rect.width()), int(rect.height()));
}

// Rectangles in failure messages.
inline std::string describe(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()).toStdString();
}

inline std::string describe(const std::optional<QRect>& rect)
{
    return rect ? describe(*rect) : std::string("none");
}

inline std::string describe(const std::optional<Rect>& frame)
{
    return frame ? describe(pixelRect(*frame)) : "no window";
}

inline std::string describe(const std::vector<QRect>& rects)
{
    std::string text = std::to_string(rects.size()) + " panel(s)";
    for (const QRect& rect : rects)
        text += " [" + describe(rect) + "]";
    return text;
}

// A test with the real program on a desktop of its own; Gridlume's log is printed when it fails.
class GridlumeDesktopTest : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds deadline = 20s;

    explicit GridlumeDesktopTest(DesktopProfile profile = openboxDesktop())
        : GridlumeDesktopTest(std::make_unique<X11TestDesktop>(std::move(profile)))
    {
    }
    // On a desktop of another kind (a Wayland session with its Xwayland).
    explicit GridlumeDesktopTest(std::unique_ptr<X11TestDesktop> desktop)
        : m_ownDesktop(std::move(desktop))
        , m_desktop(*m_ownDesktop)
    {
    }

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_desktop.start(&error)) << qPrintable(error);
        m_gridlume = std::make_unique<GridlumeUnderTest>(m_desktop);
    }

    void TearDown() override
    {
        if (HasFailure() && m_gridlume)
            std::cerr << "Gridlume's log:\n" << qPrintable(m_gridlume->log()) << std::endl;
    }

    // Writes `settings` (unless none), starts the program and waits until it serves.
    void startGridlume(const std::optional<QByteArray>& settings = GridlumeUnderTest::settingsWithShortcut())
    {
        if (settings)
            m_gridlume->writeSettings(*settings);
        QString error;
        ASSERT_TRUE(m_gridlume->start(&error)) << qPrintable(error);
    }

    // Starts the test window program with `arguments` (or `program`, when one is named) and makes
    // its window, `m_target`, the active one; fatal when it does not appear.
    void startTarget(const QStringList& arguments = {}, const QString& program = {})
    {
        m_target = m_desktop.startActiveWindow(m_targetProcess, arguments, program);
        ASSERT_NE(m_target, xcb_window_t(XCB_WINDOW_NONE));
    }

    // Keys as a user types them ("ctrl+alt+space"), through xdotool (XTEST), once the server has
    // handed out this connection's input and Gridlume's event loop has handled it; `action`
    // "keydown" or "keyup" presses or lets go of them only.
    void key(const QString& keys, const char* action = "key")
    {
        xcb_connection_t* c = m_desktop.connection();
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        if (m_gridlume && m_gridlume->isRunning())
            (void)m_gridlume->answersInstanceChannel();
        ASSERT_EQ(m_desktop.run(QStringLiteral("xdotool"), { QString::fromLatin1(action), keys }).exitCode, 0) << qPrintable(keys);
    }
    // The pointer as a user moves it, through XTEST on the test's own connection: the server
    // handles it in order, before any later request of the test.
    void moveTo(QPoint point)
    {
        xcb_test_fake_input(m_desktop.connection(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_desktop.root(),
            qint16(point.x()), qint16(point.y()), 0);
        xcb_flush(m_desktop.connection());
    }
    void button(bool press, quint8 which = 1)
    {
        xcb_test_fake_input(m_desktop.connection(), press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, which,
            XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
        xcb_flush(m_desktop.connection());
    }
    void click(QPoint point, quint8 which = 1)
    {
        moveTo(point);
        button(true, which);
        button(false, which);
    }
    void drag(QPoint from, QPoint to)
    {
        moveTo(from);
        button(true);
        moveTo(to);
        button(false);
    }

    // Whether another client can take the keyboard now (and gives it back at once).
    bool keyboardIsFree() const
    {
        xcb_connection_t* c = m_desktop.connection();
        const Reply<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(c,
            xcb_grab_keyboard(c, 0, m_desktop.root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr));
        const bool free = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        if (free) {
            xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
            xcb_flush(c);
        }
        return free;
    }

    // --toggle, and the panels it shows are `expected`.
    void showPanels(const std::vector<QRect>& expected = GridlumeWindows::panelsOfBothMonitors())
    {
        ASSERT_TRUE(m_gridlume->toggle());
        ASSERT_TRUE(m_windows.waitForPanels(expected)) << describe(m_windows.viewablePanels());
    }

    bool waitForFrame(xcb_window_t window, const QRect& block, Size tolerance = {})
    {
        return m_desktop.waitUntil([&] { return isNear(m_desktop.visibleFrame(window), block, tolerance); }, deadline);
    }

    // Records `keys` in the settings window's shortcut recorder at `recorder` (by default the first
    // row of the General page), typing them again while `recorded` (if given) does not hold: the
    // recorder watches the keyboard a moment after the click.
    void recordShortcut(
        const QString& keys, const std::function<bool()>& recorded = {}, QPoint recorder = QPoint(337, 66))
    {
        // In front, as a user's click on its title bar puts it: a window manager may have opened
        // it behind the active window.
        std::vector<xcb_window_t> window;
        ASSERT_TRUE(m_desktop.waitUntil([&] { return !(window = m_windows.windowsNamed("Gridlume Settings")).empty(); })
            && m_desktop.activate(window.front()))
            << "no settings window";
        for (int attempt = 0; attempt < 4; ++attempt) {
            // Clicked again each time, in front again: a click lost while the window manager was
            // still raising the window leaves nothing recording, and a click on a recording
            // recorder changes nothing.
            const std::optional<QRect> settings = m_windows.viewableSettingsWindow();
            ASSERT_TRUE(settings);
            if (attempt > 0)
                (void)m_desktop.activate(window.front());
            // At the desktop's scale.
            click(settings->topLeft() + recorder * m_desktop.profile().primaryRatio);
            key(keys);
            if (!recorded || m_desktop.waitUntil(recorded, 5s))
                return;
        }
        FAIL() << keys.toStdString() << " was not recorded";
    }

    std::unique_ptr<X11TestDesktop> m_ownDesktop;
    X11TestDesktop& m_desktop;
    GridlumeWindows m_windows { m_desktop };
    std::unique_ptr<GridlumeUnderTest> m_gridlume;
    std::unique_ptr<ChildProcess> m_targetProcess;
    xcb_window_t m_target = XCB_WINDOW_NONE;
};

} // namespace gridlume::test
