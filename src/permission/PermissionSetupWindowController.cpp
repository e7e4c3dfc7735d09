#include "permission/PermissionSetupWindowController.h"

#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupView.h"
#include "platform/PanelWindowTraits.h"
#include "platform/QtScreenSpace.h"

#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace gridlume {

PermissionSetupWindowController::PermissionSetupWindowController(PermissionSetupService& permissionSetupService,
    AccessibilityTrust& trust, ScreenProvider& screens, PanelWindowTraits& windowTraits, QObject* parent)
    : QObject(parent)
    , m_permissionSetupService(permissionSetupService)
    , m_trust(trust)
    , m_screens(screens)
    , m_windowTraits(windowTraits)
{
    // Only a close button: no minimise or maximise, and the size follows the content.
    m_window = std::make_unique<QWidget>(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Window-manager rules and tools find it by this title (the class is "gridlume", "Gridlume").
    m_window->setWindowTitle(tr("Allow Gridlume"));
    m_window->setObjectName(QStringLiteral("PermissionSetupWindow"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_view = new PermissionSetupView(m_permissionSetupService, {}, m_window.get(), trust.guide());
    layout->addWidget(m_view);
    m_window->installEventFilter(this);
}

PermissionSetupWindowController::~PermissionSetupWindowController()
{
    stopPermissionPolling();
    if (m_window)
        m_window->removeEventFilter(this);
}

void PermissionSetupWindowController::showPermissionWindow(const std::optional<Screen>& screen)
{
    if (!m_window)
        return;
    m_window->adjustSize();
    const QList<Screen> screens = m_screens.screens();
    const QtScreenSpace space = QtScreenSpace::current(screens);
    // Without a screen of its own, the window goes where the user is looking: under the pointer.
    std::optional<Screen> target = screen ? screen : space.screenAt(QCursor::pos());
    if (!target && !screens.isEmpty())
        target = screens.first();
    // The frame (the window manager's decoration) is known once the window is shown; until then
    // it is the content's size.
    m_window->show();
    if (target)
        m_window->move(space.centredTopLeft(target->visibleFrame, m_window->frameGeometry().size()));
    m_window->raise();
    // A window left open on another virtual desktop stays there when raised.
    if (QWindow* handle = m_window->windowHandle())
        m_windowTraits.moveToCurrentDesktop(*handle);
    startPermissionPolling();
}

void PermissionSetupWindowController::hidePermissionWindow()
{
    stopPermissionPolling();
    if (m_window)
        m_window->hide();
}

void PermissionSetupWindowController::startPermissionPolling()
{
    if (m_permissionCheckTimer)
        return;
    auto* timer = new QTimer(this);
    timer->setInterval(permissionCheckIntervalMs);
    connect(timer, &QTimer::timeout, this, [this] {
        if (m_trust.isProcessTrusted())
            hidePermissionWindow();
    });
    timer->start();
    m_permissionCheckTimer = timer;
}

void PermissionSetupWindowController::stopPermissionPolling()
{
    if (QTimer* timer = m_permissionCheckTimer.data()) {
        m_permissionCheckTimer = nullptr;
        timer->stop();
        // Possibly inside this very timer's timeout: let the emission finish first.
        timer->deleteLater();
    }
}

bool PermissionSetupWindowController::isPermissionWindowVisible() const
{
    return m_window && m_window->isVisible();
}

void PermissionSetupWindowController::windowWillClose()
{
    stopPermissionPolling();
}

bool PermissionSetupWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close)
        windowWillClose();
    return QObject::eventFilter(watched, event);
}

} // namespace gridlume
