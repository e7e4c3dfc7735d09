#pragma once

#include "GridlumeUnderTest.h"
#include "GridlumeWindows.h"
#include "X11TestDesktop.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
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

inline QRect pixelRect(const Rect& rect) { return QRect(int(rect.minX()), int(rect.minY()), int(rect.width()), int(rect.height())); }

// Rectangles in failure messages.
inline std::string describe(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()).toStdString();
}

inline std::string describe(const std::optional<QRect>& rect) { return rect ? describe(*rect) : std::string("none"); }

inline std::string describe(const std::optional<Rect>& frame) { return frame ? describe(pixelRect(*frame)) : "no window"; }

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
        : m_desktop(std::move(profile))
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

    // Input as a user makes it, through xdotool (XTEST).
    void xdotool(const QStringList& arguments)
    {
        ASSERT_EQ(m_desktop.run(QStringLiteral("xdotool"), arguments).exitCode, 0) << qPrintable(arguments.join(u' '));
    }
    void moveTo(QPoint point) { xdotool({ QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()) }); }
    void key(const QString& keys) { xdotool({ QStringLiteral("key"), keys }); }
    void click(QPoint point, int button = 1)
    {
        moveTo(point);
        xdotool({ QStringLiteral("click"), QString::number(button) });
    }
    void button(bool press) { xdotool({ press ? QStringLiteral("mousedown") : QStringLiteral("mouseup"), QStringLiteral("1") }); }
    void drag(QPoint from, QPoint to)
    {
        moveTo(from);
        button(true);
        moveTo(to);
        button(false);
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

    // Records `keys` in the shortcut recorder of the settings window, which is shown.
    void recordShortcut(const QString& keys)
    {
        const std::optional<QRect> settings = m_windows.viewableSettingsWindow();
        ASSERT_TRUE(settings);
        // The recorder is the first row of the General page.
        click(settings->topLeft() + QPoint(337, 66));
        key(keys);
    }

    X11TestDesktop m_desktop;
    GridlumeWindows m_windows { m_desktop };
    std::unique_ptr<GridlumeUnderTest> m_gridlume;
};

} // namespace gridlume::test
