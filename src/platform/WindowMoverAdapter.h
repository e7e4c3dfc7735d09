#pragma once

#include "Accessibility.h"
#include "Log.h"
#include "WindowMover.h"

#include <QTimer>

#include <memory>

namespace gridlume {

// The accessibility calls on any desktop's window mover, written once for all of them: an
// application element per process, its focused window as a window element, and the window's
// kAXPositionAttribute and kAXSizeAttribute.
//
// Writes are gathered into whole frames: once a window has been given both a position and a size,
// they go to the desktop as one frame request, and the write that completed it answers for it; a
// write that repeats the frame just asked for sends nothing. So the size, position and size of one
// placement are one request. A part written alone (the position of a window kept on its screen)
// goes with the rest of the window's frame when the window is next read or its element released,
// or before a write to another window. The frame a request or a read answered is reused until
// this process's event loop runs again, so that the reads of one placement ask the desktop
// nothing more.
//
// Status codes: kAXErrorNoValue for an application with no focused window,
// kAXErrorInvalidUIElement for a window that went, kAXErrorCannotComplete when the desktop did not
// answer, kAXErrorFailure when it refused; kAXErrorAttributeUnsupported for any other attribute
// (Linux desktops have no enhanced user interface to switch off).
class WindowMoverAdapter final : public Accessibility {
public:
    // Logs under `category` (the backend's).
    WindowMoverAdapter(WindowMover& mover, LogSink& logSink, const QString& category);
    ~WindowMoverAdapter() override;

    AXUIElementRef createApplication(pid_t pid) override;
    AXError copyAttributeValue(const AXUIElementRef& element, const QString& attribute, AXObjectRef& value) override;
    AXError setAttributeValue(const AXUIElementRef& element, const QString& attribute, const AXObjectRef& value) override;
    std::shared_ptr<const AXValue> createPointValue(Point point) override;
    std::shared_ptr<const AXValue> createSizeValue(Size size) override;

    class State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace gridlume
