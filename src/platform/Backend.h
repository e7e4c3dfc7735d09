#pragma once

#include "Platform.h"

#include <QString>

#include <memory>
#include <optional>

namespace gridlume {

// A Platform together with everything it is built on (connections, window traits), owned as
// one: the references in platform() hold as long as this object.
class BackendPlatform {
public:
    virtual ~BackendPlatform() = default;
    virtual Platform& platform() = 0;
};

// One kind of desktop session Gridlume runs in. The registry (Backends) asks each in turn; a
// backend owns what is its own: how it recognises its session, what its windows need, and how its
// platform is put together for the program and for one `gridlume place`.
class Backend {
public:
    virtual ~Backend() = default;

    // Whether the session's environment is of this backend's kind (WAYLAND_DISPLAY set or not).
    // Read before any Qt application exists.
    virtual bool matchesEnvironment() const = 0;
    // Whether this session really is the backend's (KWin's scripting service on the session bus).
    // Needs a Qt application.
    virtual bool appliesToSession() const = 0;
    // Why Gridlume's own windows cannot be shown in this session, in one line; none when they
    // can. Asked before the QApplication is made, whose xcb plugin aborts without a display.
    virtual std::optional<QString> windowProblem() const = 0;

    // The program's platform, once the QApplication draws through xcb; null with a one-line
    // message.
    virtual std::unique_ptr<BackendPlatform> createPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const = 0;
    // The platform of one placement from the command line: no windows of its own, a
    // QCoreApplication only; null with a one-line message.
    virtual std::unique_ptr<BackendPlatform> createCommandPlatform(
        UserDefaults& userDefaults, LogSink& logSink, QString* errorMessage) const = 0;
};

} // namespace gridlume
