// The contract of the hot-key calls, run against every backend (the simulated desktop; X11 on
// Xvfb; KDE Plasma's Wayland session on kwin_wayland): one table of requests and the answers
// every backend gives, failures included.
#include "BackendUnderTest.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace gridlume::test {
namespace {

    constexpr quint32 kG = 0x05, kJ = 0x26;
    // A key of the event manager's keyboards that no Linux keyboard has.
    constexpr quint32 kFunction = 0x3F;
    // controlKey | optionKey, and with alphaLock (Caps Lock), which is no hot-key modifier.
    constexpr quint32 kMods = 0x1800, kModsAndCapsLock = 0x1C00;
    constexpr EventHotKeyID kID { fourCharCode("GrdL"), 7 }, kMarkerID { fourCharCode("GrdL"), 9 };
    constexpr EventTypeSpec kPressed { kEventClassKeyboard, kEventHotKeyPressed };
    constexpr EventTypeSpec kOtherKind { kEventClassKeyboard, kEventHotKeyPressed + 1 };

    BackendUnderTest* backend = nullptr;
    QString skipReason;

    // A case's hot keys and what its handlers were given.
    struct Case {
        HotKeyPlatform& hotKeys;
        std::vector<EventHotKeyID> delivered;
        int deliveredElsewhere = 0;

        static OSStatus onPress(const HotKeyEvent& event, void* self)
        {
            static_cast<Case*>(self)->delivered.push_back(event.hotKeyID);
            return noErr;
        }
        static OSStatus onOtherPress(const HotKeyEvent&, void* self)
        {
            ++static_cast<Case*>(self)->deliveredElsewhere;
            return noErr;
        }
        EventHandlerRef install(const EventTypeSpec& type, EventHandlerProcPtr procedure = &onPress)
        {
            EventHandlerRef ref = 0;
            EXPECT_EQ(hotKeys.installEventHandler(procedure, &type, 1, this, &ref), noErr);
            return ref;
        }
        OSStatus install(const EventTypeSpec* types, int count)
        {
            EventHandlerRef ref = 0;
            return hotKeys.installEventHandler(&onPress, types, count, this, &ref);
        }
        OSStatus registerKey(quint32 keyCode, quint32 modifiers = kMods, EventHotKeyRef* ref = nullptr)
        {
            EventHotKeyRef own = 0;
            return hotKeys.registerEventHotKey(keyCode, modifiers, kID, 0, ref ? ref : &own);
        }
        OSStatus idOf(quint32 eventClass, quint32 eventKind)
        {
            EventHotKeyID id;
            const OSStatus status = hotKeys.getEventHotKeyID({ eventClass, eventKind, kID }, &id);
            EXPECT_TRUE(status != noErr || id == kID);
            return status;
        }
        // Presses G and then J, registered as the marker: once the marker's press is in, an
        // earlier one would be too.
        bool pressGThenMarker()
        {
            EventHotKeyRef marker = 0;
            EXPECT_EQ(hotKeys.registerEventHotKey(kJ, kMods, kMarkerID, 0, &marker), noErr);
            return backend->press(kG, kMods) && backend->press(kJ, kMods)
                && QTest::qWaitFor([&] { return !delivered.empty() && delivered.back() == kMarkerID; }, 10000);
        }
    };

    struct Request {
        const char* name;
        std::function<OSStatus(Case&)> make;
        OSStatus expected;
        // What holds afterwards, when anything has to.
        std::function<void(Case&)> check = {};
    };

    void PrintTo(const Request& request, std::ostream* out)
    {
        *out << request.name;
    }

    const Request requests[] = {
        { "InstallWithoutHandler",
            [](Case& c) {
                EventHandlerRef ref = 0;
                return c.hotKeys.installEventHandler(nullptr, &kPressed, 1, nullptr, &ref);
            },
            paramErr },
        { "InstallWithNegativeTypeCount", [](Case& c) { return c.install(&kPressed, -1); }, paramErr },
        { "InstallWithCountButNoTypes", [](Case& c) { return c.install(nullptr, 1); }, paramErr },
        { "RemoveUnknownHandler", [](Case& c) { return c.hotKeys.removeEventHandler(12345); }, paramErr },
        { "RegisterKeyTheDesktopHasNot", [](Case& c) { return c.registerKey(kFunction); }, paramErr },
        { "RegisterFreeKeyHoldsItAndDeliversItsID",
            [](Case& c) {
                c.install(kPressed);
                return c.registerKey(kG);
            },
            noErr,
            [](Case& c) {
                ASSERT_TRUE(c.pressGThenMarker());
                EXPECT_EQ(c.delivered, (std::vector { kID, kMarkerID }));
                EXPECT_FALSE(backend->takeElsewhere(kG, kMods)) << "the key is not held";
            } },
        // Caps Lock is no modifier: this is the same combination again.
        { "RegisterACombinationThisProgramHolds",
            [](Case& c) {
                c.registerKey(kG);
                return c.registerKey(kG, kModsAndCapsLock);
            },
            eventHotKeyExistsErr },
        { "RegisterACombinationAnotherProgramHolds",
            [](Case& c) {
                EXPECT_TRUE(backend->takeElsewhere(kG, kMods));
                EventHotKeyRef ref = 1;
                const OSStatus status = c.registerKey(kG, kMods, &ref);
                EXPECT_EQ(ref, 0u);
                return status;
            },
            eventHotKeyExistsErr },
        { "UnregisterTwice",
            [](Case& c) {
                EventHotKeyRef ref = 0;
                c.registerKey(kG, kMods, &ref);
                EXPECT_EQ(c.hotKeys.unregisterEventHotKey(ref), noErr);
                return c.hotKeys.unregisterEventHotKey(ref);
            },
            eventHotKeyInvalidErr },
        { "UnregisterFreesTheKeyAndEndsItsPresses",
            [](Case& c) {
                c.install(kPressed);
                EventHotKeyRef ref = 0;
                c.registerKey(kG, kMods, &ref);
                return c.hotKeys.unregisterEventHotKey(ref);
            },
            noErr,
            [](Case& c) {
                ASSERT_TRUE(c.pressGThenMarker());
                EXPECT_EQ(c.delivered, std::vector { kMarkerID }) << "a released key was delivered";
                EXPECT_TRUE(backend->takeElsewhere(kG, kMods)) << "the key is still held";
            } },
        { "PressesReachOnlyTheHandlersOfHotKeyPresses",
            [](Case& c) {
                c.install(kOtherKind, &Case::onOtherPress);
                const EventHandlerRef removed = c.install(kPressed, &Case::onOtherPress);
                c.install(kPressed);
                c.registerKey(kG);
                return c.hotKeys.removeEventHandler(removed);
            },
            noErr,
            [](Case& c) {
                ASSERT_TRUE(c.pressGThenMarker());
                EXPECT_EQ(c.deliveredElsewhere, 0) << "a handler of another event, or a removed one, was called";
            } },
        { "IDOfAHotKeyPress", [](Case& c) { return c.idOf(kEventClassKeyboard, kEventHotKeyPressed); }, noErr },
        { "IDOfAnEventOfAnotherKind", [](Case& c) { return c.idOf(kEventClassKeyboard, kEventHotKeyPressed + 1); },
            eventParameterNotFoundErr },
    };

    class HotKeyContractTest : public ::testing::TestWithParam<Request> {
    protected:
        static void SetUpTestSuite()
        {
            backend = sharedBackend(&skipReason);
        }
        void SetUp() override
        {
            if (!backend)
                GTEST_SKIP() << qPrintable(skipReason);
            backend->reset();
        }
    };

    TEST_P(HotKeyContractTest, AnswersAsEveryBackendDoes)
    {
        Case c { backend->hotKeys(), {} };
        EXPECT_EQ(GetParam().make(c), GetParam().expected);
        if (GetParam().check && !HasFailure())
            GetParam().check(c);
    }

    INSTANTIATE_TEST_SUITE_P(
        Requests, HotKeyContractTest, ::testing::ValuesIn(requests), [](const auto& info) { return info.param.name; });

} // namespace
} // namespace gridlume::test
