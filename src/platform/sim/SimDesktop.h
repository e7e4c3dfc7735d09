#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace gridlume {

class SimScreenProvider;
class SimAccessibility;
class SimTrust;
class SimWorkspace;
class HotKeyAdapter;
class SimHotKeyPlatform;
class SimShortcutGrabber;
class SimKeyboardGrabber;
class SimGlobalKeyMonitor;
class SimKeyEventTranslator;
class SimUrlOpener;
class SimPanelWindowTraits;
class SimUserDefaults;

// A window of a simulated application. Frames are in the accessibility space (origin at the
// primary screen's top-left, y down), like the values the accessibility calls exchange.
struct SimWindowSpec {
    Rect frame { 100, 100, 800, 600 };
    // The window never becomes smaller than this.
    Size minimumSize { 0, 0 };
    // Sizes snap down to base + n × increment (a terminal's character cell), then up to the
    // minimum size.
    Size sizeIncrement { 0, 0 };
    Size baseSize { 0, 0 };
    // Every write of a position or size fails with CannotComplete and changes nothing.
    bool refusesFrames = false;
};

// One accessibility or hot-key call as the simulated desktop saw it, in order.
struct SimCall {
    QString operation; // "copyAttributeValue", "setAttributeValue", "createPointValue", "registerEventHotKey", …
    QString attribute; // the attribute name, empty where there is none
    QString detail; // the value written or the element, for failure messages
};

// A fault to inject: calls of `operation` (and `attribute`, when not empty) fail with `status`
// (an AXError or an OSStatus number), after `skip` matching calls went through, `count` times
// (negative: for ever). A value-creation fault makes creation return null.
struct SimFault {
    QString operation;
    QString attribute;
    qint32 status = static_cast<qint32>(AXError::CannotComplete);
    int skip = 0;
    int count = -1;
};

// An in-memory desktop that implements every platform interface, for tests and demos.
//
// The production interfaces are reached through platform(); everything else on this class is
// the test-control side: configure screens, applications and windows, inject faults, type keys,
// and read back what the program did. Notifications and hot-key events are delivered like the
// real backends deliver them: from the event loop, after the call that caused them returned.
class SimDesktop : public QObject {
    Q_OBJECT
public:
    explicit SimDesktop(QObject* parent = nullptr);
    ~SimDesktop() override;

    Platform platform();
    CapturingLogSink& log() { return m_log; }

    // Screens ---------------------------------------------------------------------------------
    // Replaces the screens (primary first) and reports a change.
    void setScreens(QList<Screen> screens);
    const QList<Screen>& screens() const { return m_screens; }

    // Applications and windows -----------------------------------------------------------------
    // Adds a running application; returns its pid (allocated from 1000 up unless given).
    pid_t addApplication(
        const QString& localizedName, std::optional<QString> bundleIdentifier = {}, std::optional<pid_t> pid = {});
    RunningApplication application(pid_t pid) const;
    // Adds a window to the application and makes it the focused one; returns its window ID.
    int addWindow(pid_t pid, const SimWindowSpec& spec = {});
    // None when the window does not exist (any more).
    std::optional<Rect> windowFrame(int windowID) const;
    // None: the application does not support the attribute.
    void setEnhancedUserInterface(pid_t pid, std::optional<bool> value);
    // Replaces what a copy of the attribute returns (also a null value, or one of another type).
    void overrideAttributeValue(const QString& attribute, AXObjectRef value);

    // Workspace ---------------------------------------------------------------------------------
    // Makes the application frontmost and notifies the activation.
    void activate(pid_t pid);
    // Ends the application: it leaves the workspace (and the front) and its termination is
    // notified.
    void terminate(pid_t pid);
    // Posts a notification as is, for odd payloads (no application at all).
    void postWorkspaceNotification(WorkspaceNotification name, std::optional<RunningApplication> application);
    void setFrontmostApplication(std::optional<pid_t> pid);
    void setCurrentProcessIdentifier(pid_t pid) { m_currentPid = pid; }
    pid_t currentProcessIdentifier() const { return m_currentPid; }
    int workspaceObserverCount() const;

    // Hot keys ----------------------------------------------------------------------------------
    // Another program takes this shortcut, unless Gridlume holds it (false then): registering
    // it fails with eventHotKeyExistsErr.
    bool holdShortcutElsewhere(quint32 keyCode, quint32 modifiers);
    // Types the shortcut. When it is registered, its event is delivered from the event loop, which
    // this drains. Returns whether a registered hot key matched.
    bool pressHotKey(quint32 keyCode, quint32 modifiers);
    int registeredHotKeyCount() const;
    bool isHotKeyRegistered(quint32 keyCode, quint32 modifiers) const;
    int installedEventHandlerCount() const;

    // Global key monitor ------------------------------------------------------------------------
    // A key press in another program: it goes to the keyboard grab, if there is one, and is
    // seen by the installed global monitors.
    void typeGlobalKey(const KeyEvent& event);
    int globalKeyMonitorCount() const;
    bool isKeyboardGrabbed() const;
    // Another program holds the keyboard: grabs fail.
    void holdKeyboardElsewhere(bool held);

    // Panel windows ---------------------------------------------------------------------------
    // What the floating windows asked of the window system; compositing on by default.
    SimPanelWindowTraits& panelWindowTraits() { return *m_panelWindowTraits; }

    // Links -------------------------------------------------------------------------------------
    // What the program asked to open; refuses schemes or everything on request.
    SimUrlOpener& urlOpener() { return *m_urlOpener; }

    // Trust -----------------------------------------------------------------------------------
    void setTrusted(bool trusted) { m_trusted = trusted; }

    // Faults and call log -------------------------------------------------------------------------
    void injectFault(const SimFault& fault) { m_faults.append(fault); }
    const QList<SimCall>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    // Drains the deliveries queued so far (notifications, hot-key events, key monitors).
    static void processEvents();

private:
    friend class SimScreenProvider;
    friend class SimAccessibility;
    friend class SimTrust;
    friend class SimWorkspace;
    friend class SimHotKeyPlatform;
    friend class SimGlobalKeyMonitor;

    struct Window {
        int id;
        pid_t pid;
        Rect frame;
        SimWindowSpec spec;
    };
    struct Application {
        pid_t pid;
        quint64 launchIdentity;
        QString localizedName;
        std::optional<QString> bundleIdentifier;
        std::optional<int> focusedWindow;
        std::optional<bool> enhancedUserInterface;
    };

    // Records the call and answers with the injected fault's status, or none.
    std::optional<qint32> recordCall(const QString& operation, const QString& attribute, const QString& detail = {});
    void deliverWorkspaceNotification(const WorkspaceNotificationInfo& info);
    Window* window(int id);

    CapturingLogSink m_log;
    QList<Screen> m_screens;
    QMap<pid_t, Application> m_applications;
    QMap<int, Window> m_windows;
    QHash<QString, AXObjectRef> m_attributeOverrides;
    std::optional<pid_t> m_frontmost;
    pid_t m_currentPid;
    pid_t m_nextPid = 1000;
    int m_nextWindowID = 1;
    quint64 m_nextLaunchIdentity = 1;
    bool m_trusted = true;
    QList<SimFault> m_faults;
    QList<SimCall> m_calls;

    std::unique_ptr<SimScreenProvider> m_screenProvider;
    std::unique_ptr<SimAccessibility> m_accessibility;
    std::unique_ptr<SimTrust> m_trust;
    std::unique_ptr<SimWorkspace> m_workspace;
    std::unique_ptr<SimShortcutGrabber> m_shortcutGrabber;
    std::unique_ptr<HotKeyAdapter> m_hotKeyAdapter;
    std::unique_ptr<SimHotKeyPlatform> m_hotKeys;
    std::unique_ptr<SimGlobalKeyMonitor> m_globalKeyMonitor;
    std::unique_ptr<SimUserDefaults> m_userDefaults;
    std::unique_ptr<SimKeyEventTranslator> m_keyEventTranslator;
    std::unique_ptr<SimUrlOpener> m_urlOpener;
    std::unique_ptr<SimPanelWindowTraits> m_panelWindowTraits;
    std::unique_ptr<SimKeyboardGrabber> m_keyboardGrabber;
};

} // namespace gridlume
