#include "platform/sim/SimDesktop.h"

#include "platform/HotKeyAdapter.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimGlobalKeyMonitor.h"
#include "platform/sim/SimHotKeyPlatform.h"
#include "platform/sim/SimKeyEventTranslator.h"
#include "platform/sim/SimKeyboardGrabber.h"
#include "platform/sim/SimPanelWindowTraits.h"
#include "platform/sim/SimScreenProvider.h"
#include "platform/sim/SimShortcutGrabber.h"
#include "platform/sim/SimTrust.h"
#include "platform/sim/SimUrlOpener.h"
#include "platform/sim/SimUserDefaults.h"
#include "platform/sim/SimWorkspace.h"

#include <QCoreApplication>
#include <QPointer>

#include <unistd.h>

namespace gridlume {

SimDesktop::SimDesktop(QObject* parent)
    : QObject(parent)
    , m_currentPid(::getpid())
    , m_screenProvider(std::make_unique<SimScreenProvider>(*this))
    , m_accessibility(std::make_unique<SimAccessibility>(*this))
    , m_trust(std::make_unique<SimTrust>(*this))
    , m_workspace(std::make_unique<SimWorkspace>(*this))
    , m_shortcutGrabber(std::make_unique<SimShortcutGrabber>(*this))
    , m_hotKeyAdapter(std::make_unique<HotKeyAdapter>(*m_shortcutGrabber, m_log, QStringLiteral("Sim")))
    , m_hotKeys(std::make_unique<SimHotKeyPlatform>(*this, *m_hotKeyAdapter))
    , m_globalKeyMonitor(std::make_unique<SimGlobalKeyMonitor>())
    , m_userDefaults(std::make_unique<SimUserDefaults>())
    , m_keyEventTranslator(std::make_unique<SimKeyEventTranslator>())
    , m_urlOpener(std::make_unique<SimUrlOpener>())
    , m_panelWindowTraits(std::make_unique<SimPanelWindowTraits>())
    , m_keyboardGrabber(std::make_unique<SimKeyboardGrabber>(m_log))
{
    // One 1440 × 900 screen with a 25-point bar at the top, like a laptop.
    m_screens = { Screen { 1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), QStringLiteral("sim-0") } };
}

SimDesktop::~SimDesktop() = default;

Platform SimDesktop::platform()
{
    return Platform { *m_screenProvider, *m_accessibility, *m_trust, *m_workspace, *m_hotKeys, *m_globalKeyMonitor,
        *m_userDefaults, m_log, *m_keyEventTranslator, *m_urlOpener, *m_panelWindowTraits, *m_keyboardGrabber };
}

void SimDesktop::processEvents()
{
    // Deliveries may queue further deliveries (a notification whose reaction is a task).
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void SimDesktop::setScreens(QList<Screen> screens)
{
    m_screens = std::move(screens);
    Q_EMIT m_screenProvider->screensChanged();
}

pid_t SimDesktop::addApplication(
    const QString& localizedName, std::optional<QString> bundleIdentifier, std::optional<pid_t> pid)
{
    const pid_t newPid = pid.value_or(m_nextPid++);
    m_applications.insert(newPid,
        Application {
            newPid, m_nextLaunchIdentity++, localizedName, std::move(bundleIdentifier), std::nullopt, std::nullopt });
    return newPid;
}

RunningApplication SimDesktop::application(pid_t pid) const
{
    const Application& app = m_applications[pid];
    return RunningApplication(app.pid, app.launchIdentity,
        app.localizedName.isNull() ? std::nullopt : std::optional<QString>(app.localizedName), app.bundleIdentifier);
}

int SimDesktop::addWindow(pid_t pid, const SimWindowSpec& spec)
{
    const int id = m_nextWindowID++;
    m_windows.insert(id, Window { id, pid, spec.frame, spec });
    m_applications[pid].focusedWindow = id;
    return id;
}

std::optional<Rect> SimDesktop::windowFrame(int windowID) const
{
    auto it = m_windows.constFind(windowID);
    if (it == m_windows.constEnd())
        return std::nullopt;
    return it->frame;
}

SimDesktop::Window* SimDesktop::window(int id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : &*it;
}

void SimDesktop::setEnhancedUserInterface(pid_t pid, std::optional<bool> value)
{
    m_applications[pid].enhancedUserInterface = value;
}

void SimDesktop::overrideAttributeValue(const QString& attribute, AXObjectRef value)
{
    m_attributeOverrides.insert(attribute, std::move(value));
}

void SimDesktop::activate(pid_t pid)
{
    m_frontmost = pid;
    postWorkspaceNotification(WorkspaceNotification::DidActivateApplication, application(pid));
}

void SimDesktop::terminate(pid_t pid)
{
    const RunningApplication app = application(pid);
    m_applications.remove(pid);
    m_windows.removeIf([pid](const auto& window) { return window.value().pid == pid; });
    if (m_frontmost == pid)
        m_frontmost.reset();
    postWorkspaceNotification(WorkspaceNotification::DidTerminateApplication, app);
}

void SimDesktop::postWorkspaceNotification(WorkspaceNotification name, std::optional<RunningApplication> application)
{
    QMetaObject::invokeMethod(
        this, [this, info = WorkspaceNotificationInfo { name, std::move(application) }] { m_workspace->post(info); },
        Qt::QueuedConnection);
}

void SimDesktop::setFrontmostApplication(std::optional<pid_t> pid)
{
    m_frontmost = pid;
}

int SimDesktop::workspaceObserverCount() const
{
    return m_workspace->observerCount();
}

bool SimDesktop::holdShortcutElsewhere(quint32 keyCode, quint32 modifiers)
{
    const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
    return combination && m_shortcutGrabber->holdElsewhere(*combination);
}

bool SimDesktop::pressHotKey(quint32 keyCode, quint32 modifiers)
{
    const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
    if (!combination || !m_shortcutGrabber->press(*combination))
        return false;
    processEvents();
    return true;
}

int SimDesktop::registeredHotKeyCount() const
{
    return m_hotKeyAdapter->registeredHotKeyCount();
}

bool SimDesktop::isHotKeyRegistered(quint32 keyCode, quint32 modifiers) const
{
    const auto combination = HotKeyAdapter::keyCombination(keyCode, modifiers);
    return combination && m_hotKeyAdapter->hotKeyOf(*combination).has_value();
}

int SimDesktop::installedEventHandlerCount() const
{
    return m_hotKeyAdapter->installedHandlerCount();
}

void SimDesktop::typeGlobalKey(const KeyEvent& event)
{
    // Like the X server's: a grab takes the press, and raw events still report it to the monitors.
    QMetaObject::invokeMethod(
        this,
        [this, event] {
            m_keyboardGrabber->type(event);
            m_globalKeyMonitor->type(event);
        },
        Qt::QueuedConnection);
}

bool SimDesktop::isKeyboardGrabbed() const
{
    return m_keyboardGrabber->isGrabbed();
}

void SimDesktop::holdKeyboardElsewhere(bool held)
{
    m_keyboardGrabber->setHeldElsewhere(held);
}

int SimDesktop::globalKeyMonitorCount() const
{
    return m_globalKeyMonitor->monitorCount();
}

std::optional<qint32> SimDesktop::recordCall(const QString& operation, const QString& attribute, const QString& detail)
{
    const SimCall call { operation, attribute, detail };
    m_calls.append(call);
    for (SimFault& fault : m_faults) {
        if (fault.operation != operation || (!fault.attribute.isEmpty() && fault.attribute != attribute))
            continue;
        if (fault.skip > 0) {
            --fault.skip;
            continue;
        }
        if (fault.count == 0)
            continue;
        if (fault.count > 0)
            --fault.count;
        return fault.status;
    }
    return std::nullopt;
}

} // namespace gridlume
