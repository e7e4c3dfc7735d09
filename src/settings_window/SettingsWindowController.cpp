#include "settings_window/SettingsWindowController.h"

#include "platform/PanelWindowTraits.h"
#include "settings/SettingsStore.h"
#include "settings_window/AboutSettingsView.h"
#include "settings_window/GridlumeSettingsView.h"
#include "settings_window/LayoutsSettingsView.h"

#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace gridlume {

SettingsWindowController::SettingsWindowController(SettingsStore& settingsStore, Updater& updater,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, UrlOpener& urlOpener,
    PanelWindowTraits& windowTraits, QString version, QIcon applicationIcon, QObject* parent)
    : QObject(parent)
    , m_settingsStore(settingsStore)
    , m_updater(updater)
    , m_translator(translator)
    , m_globalKeyMonitor(globalKeyMonitor)
    , m_urlOpener(urlOpener)
    , m_windowTraits(windowTraits)
    , m_version(std::move(version))
    , m_applicationIcon(std::move(applicationIcon))
{
}

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::buildWindow()
{
    m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    m_window->setObjectName(QStringLiteral("SettingsWindow"));
    m_window->setWindowTitle(tr("Gridlume Settings"));
    m_window->setWindowIcon(m_applicationIcon);
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new GridlumeSettingsView(m_settingsStore, m_updater, m_translator, m_globalKeyMonitor, m_urlOpener,
        m_version, m_applicationIcon, m_window.get());
    if (m_layoutStore)
        m_view->addLayoutsView(new LayoutsSettingsView(
            *m_layoutStore, m_settingsStore, m_translator, m_globalKeyMonitor, m_view));
    layout->addWidget(m_view);
    m_window->setFixedSize(GridlumeSettingsView::contentSize);
    connect(m_view->aboutView(), &AboutSettingsView::quitRequested, this, &SettingsWindowController::quitRequested);
}

void SettingsWindowController::showSettingsWindow()
{
    if (!m_window)
        buildWindow();
    m_view->setSelectedTab(GridlumeSettingsView::SettingsTab::general);
    m_window->show();
    m_window->raise();
    // A window left open on another virtual desktop stays there when raised. Withdrawing and
    // mapping it again would make Qt map it before it has seen it unmapped.
    if (QWindow* handle = m_window->windowHandle())
        m_windowTraits.moveToCurrentDesktop(*handle);
    m_window->activateWindow();
}

void SettingsWindowController::hideSettingsWindow()
{
    if (m_window)
        m_window->hide();
}

bool SettingsWindowController::isSettingsWindowVisible() const
{
    return m_window && m_window->isVisible();
}

} // namespace gridlume
