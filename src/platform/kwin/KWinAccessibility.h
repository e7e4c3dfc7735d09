#pragma once

#include "platform/Accessibility.h"
#include "platform/Log.h"

#include <QJsonObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

namespace gridlume {

class KWinScreenProvider;
class KWinScriptChannel;

// Other programs' windows through Gridlume's KWin script, which reads and sets their frames the
// way KWin's own window rules do.
//
// Positions and sizes are those of KWin's frame geometry: the window with KWin's decoration, the
// visible part of a window that draws its own (KWin leaves client-side shadows out). A maximized
// or full-screen window is restored before it is moved. A write returns once KWin has carried it
// out: at once for an X11 window, whose size increments KWin applies itself; once a Wayland
// window has drawn itself at its new size, or after `settleDeadline` when it keeps its size.
//
// Each question to the script waits for KWin's event loop, which also draws the outputs; so a
// frame KWin reported (read, or answered to a write) is reused until this process's event loop
// runs again: one placement asks for it once.
class KWinAccessibility final : public Accessibility {
public:
    KWinAccessibility(KWinScriptChannel& channel, KWinScreenProvider& screens, LogSink& logSink);

    AXUIElementRef createApplication(pid_t pid) override;
    AXError copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value) override;
    AXError setAttributeValue(
        const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value) override;
    std::shared_ptr<const AXValue> createPointValue(Point point) override;
    std::shared_ptr<const AXValue> createSizeValue(Size size) override;

    static constexpr std::chrono::milliseconds settleDeadline { 500 };

private:
    AXError readFrame(const QString& window, QRectF& frame);
    AXError writeFrame(const QString& window, std::optional<Point> position, std::optional<Size> size);
    AXError failure(AXError error, const char* what, const QString& window) const;
    void remember(const QString& window, const QRectF& frame);

    KWinScriptChannel& m_channel;
    KWinScreenProvider& m_screens;
    Logger m_logger;
    // The last position written, unrounded, and where it went: a size written next rounds the
    // far edges, so blocks that share an edge share it in pixels too.
    struct WrittenPosition {
        QString window;
        Point position;
        QPointF placed;
    };
    WrittenPosition m_lastPosition;
    struct KnownFrame {
        QString window;
        QRectF frame;
    };
    std::optional<KnownFrame> m_knownFrame;
    QTimer m_forgetTimer;
};

} // namespace gridlume
