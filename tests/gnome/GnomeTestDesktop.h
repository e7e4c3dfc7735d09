#pragma once

#include "X11TestDesktop.h"

#include <QDBusConnection>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPoint>

#include <optional>
#include <vector>

namespace gridlume::test {

// GNOME Shell as a test desktop: gnome-shell headless on Wayland with two virtual monitors the
// size of X11TestDesktop's, side by side from (0, 0), in a session of its own (scripts/gnome-session:
// its buses, the logind stand-in, Gridlume's extension enabled), as the test's own user. Its
// Xwayland is the desktop's X display; the programs started on it join the session's bus and see
// its Wayland display too.
class GnomeTestDesktop final : public X11TestDesktop {
public:
    GnomeTestDesktop();

    // Why GNOME Shell cannot run here (not installed), or none.
    static std::optional<QString> problem();

    QStringList environment() const override;
    QString sessionBusAddress() const;
    // Runs gnome-extensions with `arguments` as the session's user would, whose settings it
    // changes: "disable", the extension's uuid.
    int gnomeExtensions(const QStringList& arguments) const;

protected:
    bool startSession(QString* error) override;

private:
    // The variables its programs need, and all of them (its folders, its settings).
    QStringList m_session;
    QStringList m_wholeSession;
};

// GNOME Shell seen and driven from outside, on a connection of the test's own: the extension's
// view (work areas, windows, focus), and input as a user gives it, through Mutter's
// RemoteDesktop: keys by evdev code, the pointer moved to a point in Shell's coordinates (which
// are Xwayland's) and its left button.
class GnomeShellProbe {
public:
    explicit GnomeShellProbe(const QString& busAddress);
    ~GnomeShellProbe();

    std::vector<Rect> workAreas();
    QJsonArray windows();
    // The frame of the process's normal window; none when it has none (yet).
    std::optional<Rect> frameOf(pid_t pid);
    pid_t focusedProcess();
    // Gives the process's normal window the focus, as a click would; whether it has it.
    bool activate(pid_t pid);

    // Presses the keys in order and lets go of them in reverse.
    void keys(const std::vector<quint32>& evdevCodes);
    // Moves the pointer to `point` and waits until Shell has it there.
    bool moveTo(QPoint point);
    void button(bool press);

    // A call to the extension as another program would make it, on this connection.
    QVariantList callExtension(const QString& method, const QVariantList& arguments = {});

private:
    QVariantList remoteDesktop(const QString& method, const QVariantList& arguments);
    // The JSON text a method of the extension's answers.
    QJsonDocument answer(const QString& method);
    QPoint pointer();

    QDBusConnection m_bus;
    QString m_session;
};

} // namespace gridlume::test
