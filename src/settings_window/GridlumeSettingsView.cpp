#include "settings_window/GridlumeSettingsView.h"

#include "settings_window/AboutSettingsView.h"
#include "settings_window/GeneralSettingsView.h"

namespace gridlume {

GridlumeSettingsView::GridlumeSettingsView(SettingsStore& settingsStore, Updater& updater,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, UrlOpener& urlOpener, const QString& version, const QIcon& applicationIcon,
    QWidget* parent)
    : QTabWidget(parent)
    , m_generalView(new GeneralSettingsView(settingsStore, updater, translator, globalKeyMonitor, this))
    , m_aboutView(new AboutSettingsView(updater, urlOpener, version, applicationIcon, this))
{
    setDocumentMode(true);
    addTab(m_generalView, tr("General"));
    addTab(m_aboutView, tr("About"));
    setFixedSize(contentSize);
}

} // namespace gridlume
