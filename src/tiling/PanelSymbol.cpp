#include "tiling/PanelSymbol.h"

#include <QPainter>
#include <QPixmapCache>

// The resource lives in a static library; it must be registered by name from outside a namespace.
static void initializePanelSymbolResources()
{
    Q_INIT_RESOURCE(symbols);
}

namespace gridlume {

namespace {
    QString bundledPath(PanelSymbol symbol)
    {
        switch (symbol) {
        case PanelSymbol::Close:
            return QStringLiteral(":/gridlume/symbols/close.svg");
        case PanelSymbol::Settings:
            return QStringLiteral(":/gridlume/symbols/gearshape.svg");
        case PanelSymbol::Window:
            return QStringLiteral(":/gridlume/symbols/macwindow.svg");
        case PanelSymbol::Columns:
            return QStringLiteral(":/gridlume/symbols/rectangle.split.2x1.svg");
        case PanelSymbol::Rows:
            return QStringLiteral(":/gridlume/symbols/rectangle.split.1x2.svg");
        case PanelSymbol::Minus:
            return QStringLiteral(":/gridlume/symbols/minus.svg");
        case PanelSymbol::Plus:
            return QStringLiteral(":/gridlume/symbols/plus.svg");
        }
        Q_UNREACHABLE();
    }
} // namespace

QString themeIconName(PanelSymbol symbol)
{
    // Symbolic variants are monochrome, so tinting them keeps their shape.
    switch (symbol) {
    case PanelSymbol::Close:
        return QStringLiteral("window-close-symbolic");
    case PanelSymbol::Settings:
        return QStringLiteral("emblem-system-symbolic");
    case PanelSymbol::Window:
        return QStringLiteral("application-x-executable-symbolic");
    case PanelSymbol::Columns:
        return QStringLiteral("view-dual-symbolic");
    case PanelSymbol::Rows:
        return QStringLiteral("view-split-top-bottom-symbolic");
    case PanelSymbol::Minus:
        return QStringLiteral("list-remove-symbolic");
    case PanelSymbol::Plus:
        return QStringLiteral("list-add-symbolic");
    }
    Q_UNREACHABLE();
}

QIcon panelSymbolIcon(PanelSymbol symbol)
{
    static const bool didInitializeResources = [] {
        initializePanelSymbolResources();
        return true;
    }();
    Q_UNUSED(didInitializeResources);
    const QString name = themeIconName(symbol);
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return QIcon(bundledPath(symbol));
}

QPixmap tintedPanelSymbol(PanelSymbol symbol, const QSize& size, const QColor& color, qreal devicePixelRatio)
{
    // Rendering an SVG costs far more than a lookup, and every panel of every show paints the
    // same few symbols.
    const QString key = QStringLiteral("gridlume-symbol-%1-%2x%3-%4-%5")
                            .arg(int(symbol))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(color.rgba(), 0, 16)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    // Drawn in device pixels, so that the drawing is rendered at the size it is shown at: a
    // pixmap painted at the logical size would be rendered for a rounded size and scaled again.
    const QSize deviceSize(qRound(size.width() * devicePixelRatio), qRound(size.height() * devicePixelRatio));
    pixmap = QPixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    panelSymbolIcon(symbol).paint(&painter, QRect(QPoint(0, 0), deviceSize));
    // Keep the symbol's coverage, replace its colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(0, 0), deviceSize), color);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace gridlume
