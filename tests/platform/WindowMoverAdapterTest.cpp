// The accessibility writes of a placement as frame requests to a desktop's window mover.
#include "platform/WindowMoverAdapter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <map>

using namespace gridlume;

namespace {

// A desktop of two windows, "a" of process 7 and "b" of process 8; a request answers the frame asked for,
// its size at most 1000 wide, or the failure set for the window.
class DesktopMover final : public WindowMover {
public:
    FocusedWindowAnswer focusedWindow(pid_t pid) override
    {
        if (pid == 7 || pid == 8)
            return { QString(QChar(u'a' + (pid - 7))), {} };
        return { {}, WindowFailure::NoWindow };
    }
    FrameAnswer frame(const WindowId& window) override
    {
        calls.push_back("frame " + window.toStdString());
        return answer(window);
    }
    FrameAnswer setFrame(const WindowId& window, const Rect& frame) override
    {
        calls.push_back("set " + window.toStdString() + ' ' + std::to_string(int(frame.minX())) + ','
            + std::to_string(int(frame.minY())) + ' ' + std::to_string(int(frame.width())) + 'x'
            + std::to_string(int(frame.height())));
        frames[window] = Rect(frame.minX(), frame.minY(), std::min(frame.width(), 1000.0), frame.height());
        return answer(window);
    }
    FrameAnswer answer(const WindowId& window)
    {
        if (failures.contains(window))
            return { {}, failures[window] };
        return { frames[window], {} };
    }
    std::map<WindowId, Rect> frames { { QStringLiteral("a"), Rect(10, 10, 300, 200) },
        { QStringLiteral("b"), Rect(50, 50, 100, 100) } };
    std::map<WindowId, WindowFailure> failures;
    std::vector<std::string> calls;
};

class WindowMoverAdapterTest : public ::testing::Test {
protected:
    WindowMoverAdapterTest() { m_window = focused(7); }

    AXUIElementRef focused(pid_t pid)
    {
        AXObjectRef value;
        EXPECT_EQ(m_adapter.copyAttributeValue(m_adapter.createApplication(pid), kAXFocusedWindowAttribute, value),
            AXError::Success);
        return axCast<AXUIElement>(value);
    }
    AXError write(const AXUIElementRef& window, const QString& attribute, const AXObjectRef& value)
    {
        return m_adapter.setAttributeValue(window, attribute, value);
    }
    Rect read()
    {
        AXObjectRef position;
        AXObjectRef size;
        Point p;
        Size s;
        if (m_adapter.copyAttributeValue(m_window, kAXPositionAttribute, position) != AXError::Success
            || m_adapter.copyAttributeValue(m_window, kAXSizeAttribute, size) != AXError::Success
            || !axCast<AXValue>(position)->getValue(p) || !axCast<AXValue>(size)->getValue(s))
            return Rect::null();
        return Rect(p.x, p.y, s.width, s.height);
    }

    DesktopMover m_mover;
    CapturingLogSink m_log;
    WindowMoverAdapter m_adapter { m_mover, m_log, QStringLiteral("Test") };
    AXUIElementRef m_window;
};

TEST_F(WindowMoverAdapterTest, ThePlacementsWritesAreOneFrameRequestAndItsAnswerIsReadBack)
{
    const auto size = m_adapter.createSizeValue({ 1200, 500 });
    EXPECT_EQ(write(m_window, kAXSizeAttribute, size), AXError::Success);
    EXPECT_EQ(write(m_window, kAXPositionAttribute, m_adapter.createPointValue({ 0, 24 })), AXError::Success);
    EXPECT_EQ(write(m_window, kAXSizeAttribute, size), AXError::Success);
    EXPECT_EQ(read(), Rect(0, 24, 1000, 500)) << "the frame the window took, not the one asked for";
    // Kept on its screen: a position alone goes with the size it has, when the window is let go.
    EXPECT_EQ(write(m_window, kAXPositionAttribute, m_adapter.createPointValue({ 100, 24 })), AXError::Success);
    m_window.reset();
    EXPECT_EQ(m_mover.calls, (std::vector<std::string> { "set a 0,24 1200x500", "set a 100,24 1000x500" }));
    EXPECT_EQ(m_adapter.createPointValue({ qInf(), 0 }), nullptr);
}

TEST_F(WindowMoverAdapterTest, AWriteToAnotherWindowSendsThePendingOneFirstAndReadsAskAgainOnceTheEventLoopRan)
{
    EXPECT_EQ(write(m_window, kAXPositionAttribute, m_adapter.createPointValue({ 5, 5 })), AXError::Success);
    EXPECT_EQ(write(focused(8), kAXSizeAttribute, m_adapter.createSizeValue({ 10, 10 })), AXError::Success);
    EXPECT_EQ(read(), Rect(5, 5, 300, 200));
    m_mover.frames[QStringLiteral("a")] = Rect(1, 2, 3, 4);
    EXPECT_EQ(read(), Rect(5, 5, 300, 200)) << "asked once in a turn of the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(read(), Rect(1, 2, 3, 4));
    EXPECT_EQ(m_mover.calls,
        (std::vector<std::string> { "frame a", "set a 5,5 300x200", "frame b", "set b 50,50 10x10", "frame a", "frame a" }));
}

// Each of the mover's failures as the status code of the write that sent the request, and of a read.
TEST_F(WindowMoverAdapterTest, FailuresKeepTheirKind)
{
    const std::pair<WindowFailure, AXError> kinds[] = { { WindowFailure::Gone, AXError::InvalidUIElement },
        { WindowFailure::NoAnswer, AXError::CannotComplete }, { WindowFailure::Refused, AXError::Failure } };
    for (const auto& [failure, error] : kinds) {
        m_mover.failures[QStringLiteral("a")] = failure;
        EXPECT_EQ(write(m_window, kAXSizeAttribute, m_adapter.createSizeValue({ 10, 10 })), AXError::Success);
        EXPECT_EQ(write(m_window, kAXPositionAttribute, m_adapter.createPointValue({ 0, 0 })), error);
        AXObjectRef value;
        EXPECT_EQ(m_adapter.copyAttributeValue(m_window, kAXSizeAttribute, value), error);
        QCoreApplication::processEvents();
    }
    AXObjectRef value;
    EXPECT_EQ(m_adapter.copyAttributeValue(m_adapter.createApplication(9), kAXFocusedWindowAttribute, value),
        AXError::NoValue);
    EXPECT_EQ(m_adapter.copyAttributeValue(m_adapter.createApplication(7), kAXEnhancedUserInterfaceAttribute, value),
        AXError::AttributeUnsupported);
}

} // namespace
