#include "X11Platform.h"

#include "X11ApplicationResolver.h"
#include "X11Connection.h"
#include "X11GlobalKeyMonitor.h"
#include "X11KeyEventTranslator.h"
#include "X11KeyboardGrabber.h"
#include "X11ProcessLookup.h"
#include "X11ScreenProvider.h"
#include "X11ShortcutGrabber.h"
#include "X11Trust.h"
#include "X11Workspace.h"
#include "X11WindowMover.h"
#include "platform/HotKeyAdapter.h"
#include "platform/WindowMoverAdapter.h"

namespace gridlume {

std::unique_ptr<X11Platform> X11Platform::create(UserDefaults& userDefaults, LogSink& logSink,
    PanelWindowTraits& panelWindowTraits, QString* errorMessage, const QByteArray& displayName)
{
    std::unique_ptr<X11Connection> connection = X11Connection::open(displayName, errorMessage);
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Platform>(
        new X11Platform(std::move(connection), userDefaults, logSink, panelWindowTraits));
}

X11Platform::X11Platform(std::unique_ptr<X11Connection> connection, UserDefaults& userDefaults, LogSink& logSink,
    PanelWindowTraits& panelWindowTraits)
    : m_connection(std::move(connection))
{
    m_processLookup = std::make_unique<X11ProcessLookup>(*m_connection);
    m_screens = std::make_unique<X11ScreenProvider>(*m_connection, logSink);
    m_windowMover = std::make_unique<X11WindowMover>(*m_connection, *m_processLookup, *m_screens, logSink);
    m_accessibility = std::make_unique<WindowMoverAdapter>(*m_windowMover, logSink, QStringLiteral("X11"));
    m_trust = std::make_unique<X11Trust>(*m_connection);
    m_applicationResolver = std::make_unique<X11ApplicationResolver>(*m_connection, *m_processLookup);
    m_workspace = std::make_unique<X11Workspace>(*m_connection, *m_applicationResolver, logSink);
    m_shortcutGrabber = std::make_unique<X11ShortcutGrabber>(*m_connection, logSink);
    m_hotKeys = std::make_unique<HotKeyAdapter>(*m_shortcutGrabber, logSink, QStringLiteral("X11"));
    m_globalKeyMonitor = std::make_unique<X11GlobalKeyMonitor>(m_connection->displayName(), logSink);
    m_keyEventTranslator = std::make_unique<X11KeyEventTranslator>();
    m_urlOpener = std::make_unique<DesktopUrlOpener>();
    m_keyboardGrabber = std::make_unique<X11KeyboardGrabber>(*m_connection, logSink);
    m_platform.reset(
        new Platform { *m_screens, *m_accessibility, *m_trust, *m_workspace, *m_hotKeys, *m_globalKeyMonitor,
            userDefaults, logSink, *m_keyEventTranslator, *m_urlOpener, panelWindowTraits, *m_keyboardGrabber });
}

// Members go in reverse order: everything that listens to the connection before the connection.
X11Platform::~X11Platform() = default;

QByteArray X11Platform::displayName() const
{
    return m_connection->displayName();
}

} // namespace gridlume
