// The contract of the accessibility calls on other programs' windows, run against every backend
// (the simulated desktop; X11 on Xvfb; KDE Plasma's Wayland session on kwin_wayland): one table
// of requests on a window of another program and the answers every backend gives.
#include "BackendUnderTest.h"

#include <gtest/gtest.h>

#include <functional>

namespace gridlume::test {
namespace {

    BackendUnderTest* backend = nullptr;
    QString skipReason;

    // A case's window: the focused window of a program that has just shown one.
    struct Case {
        Accessibility& accessibility;
        pid_t pid;
        AXUIElementRef window;

        AXError write(const QString& attribute, const AXObjectRef& value)
        {
            return accessibility.setAttributeValue(window, attribute, value);
        }
        AXError place(const Rect& frame)
        {
            const auto size = accessibility.createSizeValue(frame.size);
            write(kAXSizeAttribute, size);
            const AXError moved = write(kAXPositionAttribute, accessibility.createPointValue(frame.origin));
            const AXError resized = write(kAXSizeAttribute, size);
            return moved != AXError::Success ? moved : resized;
        }
        // The frame read back, null when a read fails.
        Rect frame()
        {
            AXObjectRef position;
            AXObjectRef size;
            Point p;
            Size s;
            if (accessibility.copyAttributeValue(window, kAXPositionAttribute, position) != AXError::Success
                || accessibility.copyAttributeValue(window, kAXSizeAttribute, size) != AXError::Success
                || !axCast<AXValue>(position)->getValue(p) || !axCast<AXValue>(size)->getValue(s))
                return Rect::null();
            return Rect(p.x, p.y, s.width, s.height);
        }
    };

    struct Request {
        const char* name;
        std::function<AXError(Case&)> make;
        AXError expected;
        std::function<void(Case&)> check = {};
    };

    void PrintTo(const Request& request, std::ostream* out) { *out << request.name; }

    const Request requests[] = {
        { "PlacesTheWindowWhereItsFrameIsWritten", [](Case& c) { return c.place(Rect(100, 80, 640, 400)); },
            AXError::Success, [](Case& c) { EXPECT_EQ(c.frame(), Rect(100, 80, 640, 400)); } },
        // Edges rounded once, not origin and size apart: 100.4 + 300.4 ends at 501, not 400.
        { "RoundsTheEdgesOfAFractionalFrame", [](Case& c) { return c.place(Rect(100.4, 80.6, 400.2, 300.4)); },
            AXError::Success,
            [](Case& c) {
                EXPECT_EQ(c.frame(), backend->hasPixels() ? Rect(100, 81, 401, 300) : Rect(100.4, 80.6, 400.2, 300.4));
            } },
        { "AWindowThatClosedIsInvalid",
            [](Case& c) {
                backend->closeWindow(c.pid);
                return c.place(Rect(0, 0, 300, 200));
            },
            AXError::InvalidUIElement,
            [](Case& c) {
                AXObjectRef value;
                EXPECT_EQ(c.accessibility.copyAttributeValue(c.window, kAXSizeAttribute, value), AXError::InvalidUIElement);
            } },
        { "AWriteOfTheWrongKindIsIllegal",
            [](Case& c) { return c.write(kAXPositionAttribute, c.accessibility.createSizeValue({ 10, 10 })); },
            AXError::IllegalArgument },
        { "AnApplicationHasOnlyItsFocusedWindow",
            [](Case& c) {
                AXObjectRef value;
                return c.accessibility.copyAttributeValue(
                    c.accessibility.createApplication(c.pid), kAXPositionAttribute, value);
            },
            AXError::AttributeUnsupported },
        { "ValuesOfNoNumberAreNotMade",
            [](Case& c) {
                return c.accessibility.createPointValue({ qQNaN(), 0 }) || c.accessibility.createSizeValue({ 1, qInf() })
                    ? AXError::Success
                    : AXError::IllegalArgument;
            },
            AXError::IllegalArgument },
    };

    class WindowContractTest : public ::testing::TestWithParam<Request> {
    protected:
        static void SetUpTestSuite() { backend = sharedBackend(&skipReason); }
        void SetUp() override
        {
            if (!backend)
                GTEST_SKIP() << qPrintable(skipReason);
            backend->reset();
        }
    };

    TEST_P(WindowContractTest, AnswersAsEveryBackendDoes)
    {
        Accessibility& accessibility = backend->accessibility();
        const pid_t pid = backend->openWindow();
        AXObjectRef window;
        ASSERT_EQ(accessibility.copyAttributeValue(accessibility.createApplication(pid), kAXFocusedWindowAttribute, window),
            AXError::Success);
        Case c { accessibility, pid, axCast<AXUIElement>(window) };
        ASSERT_TRUE(c.window);
        EXPECT_EQ(GetParam().make(c), GetParam().expected);
        if (GetParam().check && !HasFailure())
            GetParam().check(c);
        c.window.reset();
        if (GetParam().expected != AXError::InvalidUIElement)
            backend->closeWindow(pid);
    }

    INSTANTIATE_TEST_SUITE_P(
        Requests, WindowContractTest, ::testing::ValuesIn(requests), [](const auto& info) { return info.param.name; });

} // namespace
} // namespace gridlume::test
