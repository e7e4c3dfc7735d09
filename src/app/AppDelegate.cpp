#include "app/AppDelegate.h"

#include "app/AppContainer.h"
#include "layouts/LayoutShortcutController.h"
#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupWindowController.h"
#include "platform/Platform.h"
#include "platform/QtScreenSpace.h"
#include "settings/SettingsStore.h"
#include "settings_window/SettingsWindowController.h"
#include "tiling/WindowPlacementTilingPanelController.h"
#include "tracking/ForegroundApplicationStore.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QTimer>

namespace gridlume {

QString AppDelegate::helpPageUrl()
{
    return QStringLiteral("https://gridlume.org/help/");
}

AppDelegate::AppDelegate(LogSink& logSink, QObject* parent)
    : QObject(parent)
    , m_logger(logSink, QStringLiteral("AppDelegate"))
    , m_isSystemTrayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::configure(AppContainer& container)
{
    m_platform = &container.platform();
    m_updaterController = &container.updaterController();
    m_foregroundApplicationStore = &container.foregroundApplicationStore();
    m_permissionSetupService = &container.permissionSetupService();
    m_floatingPanelController = &container.windowPlacementTilingPanelController();
    m_permissionSetupWindowController = &container.permissionSetupWindowController();
    m_settingsStore = &container.settingsStore();
    m_layoutShortcutController = &container.layoutShortcutController();
    m_settingsWindowController = &container.settingsWindowController();
    m_isConfigured = true;
    if (m_didFinishLaunching)
        startApplicationIfNeeded();
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_didFinishLaunching = true;
    if (m_isConfigured)
        startApplicationIfNeeded();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_permissionSetupWindowController)
        m_permissionSetupWindowController->hidePermissionWindow();
    if (m_foregroundApplicationStore)
        m_foregroundApplicationStore->stopTracking();
}

void AppDelegate::startApplicationIfNeeded()
{
    if (m_didStartApplication)
        return;
    if (!m_updaterController || !m_foregroundApplicationStore || !m_permissionSetupService
        || !m_floatingPanelController || !m_permissionSetupWindowController || !m_settingsStore)
        return;
    m_didStartApplication = true;
    if (!m_didSetupStatusItem) {
        m_didSetupStatusItem = true;
        setUpStatusItem();
    }
    buildStatusItemMenu();
    setUpTilingPanelHotKeyHandler();
    if (m_layoutShortcutController)
        m_layoutShortcutController->start();
    (void)checkAccessibilityPermission(std::nullopt);
    // Without a tray there is no menu to reach the settings from: a first-time user, who has no
    // shortcut yet, gets the settings window straight away.
    if (!m_isSystemTrayAvailable() && !m_settingsStore->hasTilingPanelKeyboardShortcut()) {
        m_logger.info("No system tray on this desktop; opening the settings window to record the panel shortcut");
        openSettings();
    }
    // Building the panels (native windows, rendered symbols) takes about a hundred milliseconds
    // that the first show would otherwise spend. A second after the start the tray icon and the
    // desktop session have settled; a show before then builds them itself.
    QTimer::singleShot(std::chrono::seconds(1), this, [this] {
        if (m_floatingPanelController)
            m_floatingPanelController->preparePanels();
    });
}

void AppDelegate::setUpTilingPanelHotKeyHandler()
{
    if (!m_settingsStore)
        return;
    const auto error = m_settingsStore->setTilingPanelHotKeyHandler([self = QPointer<AppDelegate>(this)] {
        if (!self)
            return;
        if (self->checkAccessibilityPermission(std::nullopt))
            self->toggleTilingPanel();
    });
    if (error)
        m_logger.error("Failed to set tiling panel hot key handler: %s", qUtf8Printable(error->description()));
}

bool AppDelegate::checkAccessibilityPermission(const std::optional<Screen>& screen)
{
    if (!m_permissionSetupService || !m_platform)
        return false;
    if (m_platform->trust.isProcessTrusted()) {
        if (m_permissionSetupWindowController)
            m_permissionSetupWindowController->hidePermissionWindow();
        if (!m_didStartForegroundApplicationTracking && m_foregroundApplicationStore) {
            m_didStartForegroundApplicationTracking = true;
            m_foregroundApplicationStore->startTracking();
        }
        return true;
    }
    if (m_permissionSetupWindowController)
        m_permissionSetupWindowController->showPermissionWindow(screen);
    return false;
}

void AppDelegate::toggleTilingPanel()
{
    if (!m_floatingPanelController)
        return;
    if (m_floatingPanelController->isAnyPanelVisible())
        m_floatingPanelController->hidePanels();
    else
        m_floatingPanelController->showPanels();
}

void AppDelegate::setUpStatusItem()
{
    m_statusItem = std::make_unique<QSystemTrayIcon>();
    QIcon icon(QStringLiteral(":/gridlume/MenuBarIcon.svg"));
    m_statusItem->setIcon(icon);
    m_statusItem->setToolTip(QStringLiteral("Gridlume"));
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, &AppDelegate::handleStatusItemActivation);
    m_statusItem->show();
}

void AppDelegate::buildStatusItemMenu()
{
    if (m_statusItemMenu)
        return;
    m_statusItemMenu = std::make_unique<QMenu>();
    m_statusItemMenu->setObjectName(QStringLiteral("StatusItemMenu"));
    m_statusItemMenu->addAction(tr("Settings\u2026"), this, &AppDelegate::openSettings);
    m_statusItemMenu->addAction(tr("Help"), this, &AppDelegate::openHelpPage);
    m_statusItemMenu->addSeparator();
    QAction* quit = m_statusItemMenu->addAction(tr("Quit Gridlume"), qApp, &QCoreApplication::quit);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutVisibleInContextMenu(true);
    // Some tray hosts open the menu on any click and report no right click at all: whenever the
    // menu opens, the panels go.
    connect(m_statusItemMenu.get(), &QMenu::aboutToShow, this, [this] {
        if (m_floatingPanelController)
            m_floatingPanelController->hidePanels();
    });
    if (m_statusItem)
        m_statusItem->setContextMenu(m_statusItemMenu.get());
}

void AppDelegate::handleStatusItemActivation(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        if (m_floatingPanelController)
            m_floatingPanelController->hidePanels();
        break;
    case QSystemTrayIcon::Trigger:
    // The second click of two quick ones arrives as a double click instead of a click; it is a
    // click all the same, so every click toggles.
    case QSystemTrayIcon::DoubleClick:
        if (checkAccessibilityPermission(screenOfStatusItem()))
            toggleTilingPanel();
        break;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

std::optional<Screen> AppDelegate::screenOfStatusItem() const
{
    if (!m_statusItem || !m_platform)
        return std::nullopt;
    const QRect geometry = m_statusItem->geometry();
    if (geometry.isEmpty())
        return std::nullopt;
    return QtScreenSpace::current(m_platform->screens.screens()).screenAt(QRectF(geometry).center());
}

void AppDelegate::openSettings()
{
    if (m_settingsWindowController)
        m_settingsWindowController->showSettingsWindow();
}

void AppDelegate::openHelpPage()
{
    const QUrl url(helpPageUrl(), QUrl::StrictMode);
    if (m_platform && url.isValid())
        (void)m_platform->urlOpener.openUrl(url);
}

} // namespace gridlume
