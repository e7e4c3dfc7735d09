#include "permission/PermissionSetupWindowController.h"

#include "permission/PermissionSetupService.h"
#include "permission/PermissionSetupView.h"
#include "platform/PanelWindowTraits.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace gridlume {

namespace {

    // Where Qt has the top-left corner of the primary screen: the Qt screen of the same name,
    // else Qt's primary screen.
    QPointF qtTopLeftOf(const Screen& primary)
    {
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (!primary.name.isEmpty() && screen->name() == primary.name)
                return screen->geometry().topLeft();
        }
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->geometry().topLeft();
        return {};
    }

    // The centre of `frame` (window-system space: origin at the primary screen's bottom-left,
    // y up) in Qt's global space (origin top-left, y down). Both spaces meet at the primary
    // screen's top-left corner.
    QPointF qtGlobalCentre(const Rect& frame, const Screen& primary)
    {
        const QPointF topLeft = qtTopLeftOf(primary);
        return QPointF(topLeft.x() + frame.midX() - primary.frame.minX(), topLeft.y() + primary.frame.maxY() - frame.midY());
    }

} // namespace

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
    m_view = new PermissionSetupView(m_permissionSetupService, {}, m_window.get());
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
    QPointF centre;
    const QList<Screen> screens = m_screens.screens();
    if (screen && !screens.isEmpty()) {
        centre = qtGlobalCentre(screen->visibleFrame, screens.first());
    } else {
        const QScreen* qtScreen = QGuiApplication::screenAt(QCursor::pos());
        if (!qtScreen)
            qtScreen = QGuiApplication::primaryScreen();
        centre = qtScreen ? QRectF(qtScreen->availableGeometry()).center() : QPointF();
    }
    // The frame (the window manager's decoration) is known once the window is shown; until then
    // it is the content's size.
    m_window->show();
    const QSize size = m_window->frameGeometry().size();
    m_window->move(qRound(centre.x() - 0.5 * size.width()), qRound(centre.y() - 0.5 * size.height()));
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
