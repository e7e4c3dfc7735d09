#include "QtScreenSpace.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace gridlume {

QtScreenSpace::QtScreenSpace(const QList<Screen>& screens, const QList<QtScreen>& qtScreens)
{
    auto qtScreenNamed = [&](const QString& name) -> const QtScreen* {
        if (name.isEmpty())
            return nullptr;
        for (const QtScreen& qtScreen : qtScreens) {
            if (qtScreen.name == name)
                return &qtScreen;
        }
        return nullptr;
    };
    const QtScreen* qtPrimary = qtScreens.isEmpty() ? nullptr : &qtScreens.first();
    const QtScreen* primaryMatch = screens.isEmpty() ? nullptr : qtScreenNamed(screens.first().name);
    if (!primaryMatch)
        primaryMatch = qtPrimary;
    m_primaryFrame = screens.isEmpty() ? Rect() : screens.first().frame;
    // Qt scales only the distances inside a screen: a screen's logical top-left corner is its
    // native one, so the primary screen's Qt geometry tells where it lies in native pixels.
    m_primaryNativeTopLeft = primaryMatch ? QPointF(primaryMatch->logicalTopLeft) : QPointF();
    const double fallbackRatio = qtPrimary ? qtPrimary->devicePixelRatio : 1;
    m_fallback = Mapping { Screen {}, QRectF(m_primaryNativeTopLeft, QSizeF()), m_primaryNativeTopLeft, fallbackRatio };
    for (const Screen& screen : screens) {
        const QRectF native = nativeRect(screen.frame);
        const QtScreen* match = qtScreenNamed(screen.name);
        m_mappings.push_back(Mapping { screen, native, match ? QPointF(match->logicalTopLeft) : native.topLeft(),
            match ? match->devicePixelRatio : fallbackRatio });
    }
}

QtScreenSpace QtScreenSpace::current(const QList<Screen>& screens)
{
    QList<QtScreen> qtScreens;
    if (qGuiApp) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (primary)
            qtScreens.append({ primary->name(), primary->geometry().topLeft(), primary->devicePixelRatio() });
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen != primary)
                qtScreens.append({ screen->name(), screen->geometry().topLeft(), screen->devicePixelRatio() });
        }
    }
    return QtScreenSpace(screens, qtScreens);
}

double QtScreenSpace::devicePixelRatio(const Screen& screen)
{
    if (!qGuiApp)
        return 1;
    for (const QScreen* qtScreen : QGuiApplication::screens()) {
        if (qtScreen->name() == screen.name)
            return qtScreen->devicePixelRatio();
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->devicePixelRatio() : 1;
}

QString QtScreenSpace::qtScreenNameAt(const QRectF& nativeFrame)
{
    if (!qGuiApp)
        return {};
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (QRectF(screen->geometry().topLeft() * screen->devicePixelRatio(),
                QSizeF(screen->size()) * screen->devicePixelRatio())
            == nativeFrame)
            return screen->name();
    }
    return {};
}

QRectF QtScreenSpace::nativeRect(const Rect& frame) const
{
    return QRectF(m_primaryNativeTopLeft.x() + (frame.minX() - m_primaryFrame.minX()),
        m_primaryNativeTopLeft.y() + (m_primaryFrame.maxY() - frame.maxY()), frame.width(), frame.height());
}

QRect QtScreenSpace::nativePixelRect(const Rect& frame) const
{
    return pixelAlignedRect(nativeRect(frame));
}

QRect QtScreenSpace::logicalRect(const Rect& frame) const
{
    const Mapping& mapping = mappingAt(Point { frame.midX(), frame.midY() });
    const QRect native = nativePixelRect(frame);
    // Edges, not origin and size, so that neighbours still share their edges.
    const QPoint topLeft = mapping.toLogicalPixel(native.topLeft());
    const QPoint bottomRight
        = mapping.toLogicalPixel(QPoint(native.x() + native.width(), native.y() + native.height()));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

QPoint QtScreenSpace::centredTopLeft(const Rect& area, const QSize& logicalSize) const
{
    const Mapping& mapping = mappingAt(Point { area.midX(), area.midY() });
    // Qt sizes a window in device pixels as its logical size times the ratio, rounded.
    const QSizeF nativeSize(std::round(logicalSize.width() * mapping.devicePixelRatio),
        std::round(logicalSize.height() * mapping.devicePixelRatio));
    const QPointF centre = nativeRect(area).center();
    return mapping.toLogicalPixel(QPoint(
        int(std::lround(centre.x() - nativeSize.width() / 2)), int(std::lround(centre.y() - nativeSize.height() / 2))));
}

std::optional<Point> QtScreenSpace::framePoint(const QPointF& logicalPoint) const
{
    const Mapping* mapping = logicalMappingAt(logicalPoint);
    if (!mapping)
        return std::nullopt;
    return framePointOf(mapping->toNative(logicalPoint));
}

std::optional<Screen> QtScreenSpace::screenAt(const QPointF& logicalPoint) const
{
    // Decided in logical space: the point of a pixel on a screen's top row lies on the screen's
    // upper edge in the window-system space, which the screen's frame does not include.
    const Mapping* mapping = logicalMappingAt(logicalPoint);
    return mapping ? std::optional(mapping->screen) : std::nullopt;
}

QRect QtScreenSpace::pixelAlignedRect(const QRectF& rect)
{
    const int left = int(std::lround(rect.left()));
    const int top = int(std::lround(rect.top()));
    const int right = int(std::lround(rect.left() + rect.width()));
    const int bottom = int(std::lround(rect.top() + rect.height()));
    return QRect(left, top, right - left, bottom - top);
}

const QtScreenSpace::Mapping& QtScreenSpace::mappingAt(const Point& point) const
{
    for (const Mapping& mapping : m_mappings) {
        if (mapping.screen.frame.contains(point))
            return mapping;
    }
    return m_mappings.empty() ? m_fallback : m_mappings.front();
}

const QtScreenSpace::Mapping* QtScreenSpace::logicalMappingAt(const QPointF& logicalPoint) const
{
    for (const Mapping& mapping : m_mappings) {
        const QRectF geometry = mapping.logicalGeometry();
        if (logicalPoint.x() >= geometry.left() && logicalPoint.x() < geometry.right()
            && logicalPoint.y() >= geometry.top() && logicalPoint.y() < geometry.bottom())
            return &mapping;
    }
    return nullptr;
}

Point QtScreenSpace::framePointOf(const QPointF& nativePoint) const
{
    return Point { nativePoint.x() - m_primaryNativeTopLeft.x() + m_primaryFrame.minX(),
        m_primaryFrame.maxY() - (nativePoint.y() - m_primaryNativeTopLeft.y()) };
}

QRectF QtScreenSpace::Mapping::logicalGeometry() const
{
    return QRectF(logicalTopLeft, nativeGeometry.size() / devicePixelRatio);
}

QPoint QtScreenSpace::Mapping::toLogicalPixel(const QPoint& native) const
{
    // Qt puts logical coordinate l at device pixel round((l - logical origin) × ratio) + native
    // origin; at a fractional ratio some device pixels are never hit, and the nearest one is
    // taken.
    auto coordinate = [this](int nativeValue, double nativeOrigin, double logicalOrigin) {
        const double exact = (nativeValue - nativeOrigin) / devicePixelRatio;
        const double below = std::floor(exact);
        auto missBy
            = [&](double steps) { return std::abs(std::round(steps * devicePixelRatio) + nativeOrigin - nativeValue); };
        const double steps = missBy(below) <= missBy(below + 1) ? below : below + 1;
        return int(std::lround(logicalOrigin + steps));
    };
    return QPoint(coordinate(native.x(), nativeGeometry.x(), logicalTopLeft.x()),
        coordinate(native.y(), nativeGeometry.y(), logicalTopLeft.y()));
}

QPointF QtScreenSpace::Mapping::toNative(const QPointF& logical) const
{
    return nativeGeometry.topLeft() + (logical - logicalTopLeft) * devicePixelRatio;
}

} // namespace gridlume
