#include "settings_window/GridlumeSettingsView.h"

#include "settings_window/AboutSettingsView.h"
#include "settings_window/GeneralSettingsView.h"
#include "settings_window/LayoutsSettingsView.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace gridlume {

namespace {

    // Drawn on a 24 × 24 grid.
    QPainterPath gearShape()
    {
        // Eight teeth around a ring, with a round hole in the middle.
        static constexpr double outline[][2] = { { 19.66, 9.68 }, { 22.31, 10.02 }, { 22.31, 13.98 }, { 19.66, 14.32 },
            { 19.05, 15.78 }, { 20.69, 17.89 }, { 17.89, 20.69 }, { 15.78, 19.05 }, { 14.32, 19.66 }, { 13.98, 22.31 },
            { 10.02, 22.31 }, { 9.68, 19.66 }, { 8.22, 19.05 }, { 6.11, 20.69 }, { 3.31, 17.89 }, { 4.95, 15.78 },
            { 4.34, 14.32 }, { 1.69, 13.98 }, { 1.69, 10.02 }, { 4.34, 9.68 }, { 4.95, 8.22 }, { 3.31, 6.11 },
            { 6.11, 3.31 }, { 8.22, 4.95 }, { 9.68, 4.34 }, { 10.02, 1.69 }, { 13.98, 1.69 }, { 14.32, 4.34 },
            { 15.78, 4.95 }, { 17.89, 3.31 }, { 20.69, 6.11 }, { 19.05, 8.22 } };
        QPainterPath path;
        path.moveTo(outline[0][0], outline[0][1]);
        for (const auto& point : outline)
            path.lineTo(point[0], point[1]);
        path.closeSubpath();
        path.addEllipse(QPointF(12, 12), 3.4, 3.4);
        path.setFillRule(Qt::OddEvenFill);
        return path;
    }

    QPainterPath boltShape()
    {
        QPainterPath path;
        path.moveTo(13.5, 1.5);
        path.lineTo(4, 13.5);
        path.lineTo(11, 13.5);
        path.lineTo(10, 22.5);
        path.lineTo(20, 10);
        path.lineTo(13, 10);
        path.closeSubpath();
        return path;
    }

    // Four tiles, the left column joined into one.
    QPainterPath gridShape()
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(2.5, 3, 8.5, 18), 1.5, 1.5);
        path.addRoundedRect(QRectF(13, 3, 8.5, 8), 1.5, 1.5);
        path.addRoundedRect(QRectF(13, 13, 8.5, 8), 1.5, 1.5);
        return path;
    }

    QIcon symbolIcon(const QPainterPath& shape, const QColor& colour)
    {
        QIcon icon;
        for (const int side : { 16, 32 }) {
            QPixmap pixmap(side, side);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(side / 24.0, side / 24.0);
            painter.fillPath(shape, colour);
            painter.end();
            icon.addPixmap(pixmap);
        }
        return icon;
    }

} // namespace

GridlumeSettingsView::GridlumeSettingsView(SettingsStore& settingsStore, Updater& updater,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, UrlOpener& urlOpener,
    const QString& version, const QIcon& applicationIcon, QWidget* parent)
    : QTabWidget(parent)
    , m_generalView(new GeneralSettingsView(settingsStore, updater, translator, globalKeyMonitor, this))
    , m_aboutView(new AboutSettingsView(updater, urlOpener, version, applicationIcon, this))
{
    setDocumentMode(true);
    addTab(m_generalView, tr("General"));
    addTab(m_aboutView, tr("About"));
    updateTabIcons();
    setFixedSize(contentSize);
}

GridlumeSettingsView::SettingsTab GridlumeSettingsView::selectedTab() const
{
    return currentWidget() == m_aboutView ? SettingsTab::about : SettingsTab::general;
}

void GridlumeSettingsView::setSelectedTab(SettingsTab tab)
{
    setCurrentWidget(tab == SettingsTab::about ? static_cast<QWidget*>(m_aboutView) : m_generalView);
}

void GridlumeSettingsView::addLayoutsView(LayoutsSettingsView* view)
{
    m_layoutsView = view;
    insertTab(1, view, tr("Layouts"));
    updateTabIcons();
}

void GridlumeSettingsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        updateTabIcons();
    QTabWidget::changeEvent(event);
}

void GridlumeSettingsView::updateTabIcons()
{
    const QColor colour = palette().color(QPalette::WindowText);
    setTabIcon(0, symbolIcon(gearShape(), colour));
    if (m_layoutsView)
        setTabIcon(indexOf(m_layoutsView), symbolIcon(gridShape(), colour));
    setTabIcon(indexOf(m_aboutView), symbolIcon(boltShape(), colour));
}

} // namespace gridlume
