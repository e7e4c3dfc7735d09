/* Gridlume's link into GNOME Shell, one source for GNOME 43 and 44 (the imports style of
 * extensions) and GNOME 45 and later (ES modules): GenerateExtension.cmake puts the imports and
 * the entry point of each style around it, and the names it uses (Gio, GLib, GObject, Clutter,
 * Meta, Shell, St, Main, PanelMenu, PopupMenu) come from there.
 *
 * While enabled it exports org.gridlume.Shell at /org/gridlume/Shell on the session bus, on
 * Shell's own connection, and owns the bus name org.gridlume.Shell there, so that Gridlume can
 * tell whether the extension runs. Monitors(), Windows() and Pointer() answer a JSON text; the
 * rest act on windows by the id Windows() reports (Meta.Window.get_id()), grab shortcuts for the
 * program that asked, and tell of activations and monitor changes by signals. While Gridlume runs
 * (org.gridlume.Gridlume on the bus), its icon is in the top bar, where other desktops have their
 * tray: a left click shows or hides the panels, a right click opens the tray icon's menu. */

const BUS_NAME = 'org.gridlume.Shell';
const OBJECT_PATH = '/org/gridlume/Shell';
const INTERFACE_XML = `
<node>
  <interface name="org.gridlume.Shell">
    <method name="Monitors">
      <arg type="s" direction="out" name="json"/>
    </method>
    <method name="Windows">
      <arg type="s" direction="out" name="json"/>
    </method>
    <method name="Pointer">
      <arg type="s" direction="out" name="json"/>
    </method>
    <method name="Screenshot">
      <arg type="s" direction="in" name="path"/>
    </method>
    <method name="TopBarIcon">
      <arg type="i" direction="out" name="x"/>
      <arg type="i" direction="out" name="y"/>
      <arg type="i" direction="out" name="width"/>
      <arg type="i" direction="out" name="height"/>
    </method>
    <method name="MoveResize">
      <arg type="u" direction="in" name="id"/>
      <arg type="i" direction="in" name="x"/>
      <arg type="i" direction="in" name="y"/>
      <arg type="i" direction="in" name="width"/>
      <arg type="i" direction="in" name="height"/>
      <arg type="b" direction="out" name="ok"/>
      <arg type="i" direction="out" name="x"/>
      <arg type="i" direction="out" name="y"/>
      <arg type="i" direction="out" name="width"/>
      <arg type="i" direction="out" name="height"/>
      <arg type="s" direction="out" name="reason"/>
    </method>
    <method name="Frame">
      <arg type="u" direction="in" name="id"/>
      <arg type="b" direction="out" name="exists"/>
      <arg type="i" direction="out" name="x"/>
      <arg type="i" direction="out" name="y"/>
      <arg type="i" direction="out" name="width"/>
      <arg type="i" direction="out" name="height"/>
    </method>
    <method name="Exists">
      <arg type="u" direction="in" name="id"/>
      <arg type="b" direction="out" name="exists"/>
    </method>
    <method name="Activate">
      <arg type="u" direction="in" name="id"/>
      <arg type="b" direction="out" name="ok"/>
    </method>
    <method name="ActiveWindow">
      <arg type="u" direction="out" name="id"/>
      <arg type="i" direction="out" name="pid"/>
      <arg type="s" direction="out" name="appId"/>
    </method>
    <method name="GrabAccelerator">
      <arg type="s" direction="in" name="accelerator"/>
      <arg type="u" direction="out" name="action"/>
      <arg type="s" direction="out" name="error"/>
    </method>
    <method name="UngrabAccelerator">
      <arg type="u" direction="in" name="action"/>
      <arg type="b" direction="out" name="ok"/>
    </method>
    <method name="GrabAccelerators">
      <arg type="as" direction="in" name="accelerators"/>
      <arg type="au" direction="out" name="actions"/>
    </method>
    <method name="UngrabAccelerators">
      <arg type="au" direction="in" name="actions"/>
    </method>
    <signal name="WindowActivated">
      <arg type="u" name="id"/>
      <arg type="i" name="pid"/>
      <arg type="s" name="appId"/>
    </signal>
    <signal name="Accelerator">
      <arg type="u" name="action"/>
    </signal>
    <signal name="MonitorsChanged"/>
  </interface>
</node>`;

// How long MoveResize waits for a window's frame to reach what was asked, and how long a frame
// must stay unchanged, short of that, to count as the window's own answer (its minimum size, its
// size increments). Mutter places an X11 window's frame at once; a Wayland client takes its new
// size in its own time, after a configure round trip: 10-40 ms here, but up to a second for a
// window that was hidden (under a fullscreen one, say), whose client Mutter paces at its slower
// rate for hidden windows.
const SETTLE_TIMEOUT_MS = { x11: 500, wayland: 2000 };
const SETTLE_QUIET_MS = 100;
const SETTLE_POLL_MS = 10;

// GRIDLUME_SHELL_DEBUG set in Shell's environment: each MoveResize tells Shell's log how long the
// frame took to settle, and Screenshot() answers.
const DEBUG = GLib.getenv('GRIDLUME_SHELL_DEBUG') !== null;

function rectangle(r) {
    return { x: r.x, y: r.y, width: r.width, height: r.height };
}

function sameRectangle(a, b) {
    return a.x === b.x && a.y === b.y && a.width === b.width && a.height === b.height;
}

function milliseconds() {
    return GLib.get_monotonic_time() / 1000;
}

// The windows Shell manages, override-redirect ones left out, in stacking order from the bottom.
function managedWindows() {
    return global.get_window_actors().map(actor => actor.get_meta_window())
        .filter(window => window && !window.is_override_redirect());
}

function findWindow(id) {
    return managedWindows().find(window => window.get_id() === id) ?? null;
}

// The application a window belongs to: its desktop file's id when Shell knows one, otherwise
// what the window calls itself (Wayland app id or GTK application id, X11 WM_CLASS).
function appIdOf(window) {
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    if (app && app.get_app_info())
        return app.get_id();
    return window.get_gtk_application_id() || window.get_wm_class() || '';
}

// One MoveResize waiting for the window's frame to settle; answers the invocation once, then
// lets go of everything it holds.
class PendingMove {
    constructor(window, wanted, invocation, done) {
        this._window = window;
        this._wanted = wanted;
        this._invocation = invocation;
        this._done = done;
        this._started = milliseconds();
        this._changed = this._started;
        this._changes = 0;
        this._moved = false;
        this._timeoutMs = window.get_client_type() === Meta.WindowClientType.X11
            ? SETTLE_TIMEOUT_MS.x11 : SETTLE_TIMEOUT_MS.wayland;
        const changed = () => {
            this._changed = milliseconds();
            this._changes++;
            this._check();
        };
        this._signals = [
            window.connect('size-changed', changed),
            window.connect('position-changed', changed),
            window.connect('unmanaged', () => this.finish(false, 'gone')),
        ];
        this._timeout = GLib.timeout_add(GLib.PRIORITY_DEFAULT, SETTLE_POLL_MS, () => {
            this._check();
            return this._invocation ? GLib.SOURCE_CONTINUE : GLib.SOURCE_REMOVE;
        });
        this._check();
    }

    _check() {
        if (!this._invocation)
            return;
        const now = milliseconds();
        const frame = this._window.get_frame_rect();
        // Mutter applies an X11 window's limits at once; a Wayland window's frame has not
        // answered until it changed at least once.
        const answered = this._changes > 0 ||
            this._window.get_client_type() === Meta.WindowClientType.X11;
        const quiet = answered && now - this._changed >= SETTLE_QUIET_MS;
        if (sameRectangle(frame, this._wanted)) {
            this.finish(true, '');
        } else if (quiet && !this._moved &&
                   (frame.x !== this._wanted.x || frame.y !== this._wanted.y)) {
            // A Wayland window that takes another size than asked stays where it was: moved
            // again, at the size it keeps.
            this._moved = true;
            this._changed = now;
            this._window.move_frame(true, this._wanted.x, this._wanted.y);
        } else if (quiet || now - this._started >= this._timeoutMs) {
            this.finish(true, quiet ? 'constrained' : 'unsettled');
        }
    }

    finish(ok, reason) {
        if (!this._invocation)
            return;
        const invocation = this._invocation;
        this._invocation = null;
        const frame = ok ? rectangle(this._window.get_frame_rect()) : { x: 0, y: 0, width: 0, height: 0 };
        if (DEBUG) {
            log(`Gridlume: MoveResize ${this._window.get_id()} answered after ` +
                `${(milliseconds() - this._started).toFixed(1)} ms, last change after ` +
                `${(this._changed - this._started).toFixed(1)} ms (${this._changes} changes` +
                `${this._moved ? ', moved again' : ''}): ` +
                `${frame.x},${frame.y} ${frame.width}x${frame.height} '${reason}'`);
        }
        this._signals.forEach(id => this._window.disconnect(id));
        this._signals = [];
        if (this._timeout) {
            GLib.source_remove(this._timeout);
            this._timeout = 0;
        }
        invocation.return_value(new GLib.Variant('(biiiis)',
            [ok, frame.x, frame.y, frame.width, frame.height, reason]));
        this._done(this);
    }
}

class GridlumeShell {
    constructor(topBarIcon) {
        this._topBarIcon = topBarIcon;
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._moves = new Set();
        // Grabbed accelerators: action → the bus name of the program that grabbed it; and a
        // watch on each such name, so that a program's grabs go when it does.
        this._grabs = new Map();
        this._grabbers = new Map();
        this._monitorsChangedIdle = 0;
        const monitorsChanged = () => this._monitorsChanged();
        this._connections = [
            [global.display, global.display.connect('notify::focus-window', () => this._focusChanged())],
            [global.display, global.display.connect('accelerator-activated',
                (display, action) => this._acceleratorActivated(action))],
            [global.display, global.display.connect('workareas-changed', monitorsChanged)],
            [Main.layoutManager, Main.layoutManager.connect('monitors-changed', monitorsChanged)],
        ];
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    destroy() {
        Gio.bus_unown_name(this._name);
        this._connections.forEach(([object, id]) => object.disconnect(id));
        this._connections = [];
        if (this._monitorsChangedIdle) {
            GLib.source_remove(this._monitorsChangedIdle);
            this._monitorsChangedIdle = 0;
        }
        [...this._moves].forEach(move => move.finish(false, 'disabled'));
        [...this._grabs.keys()].forEach(action => this._ungrab(action));
        this._grabbers.forEach(watch => Gio.bus_unwatch_name(watch));
        this._grabbers.clear();
        this._object.unexport();
        this._object = null;
    }

    // Every monitor in Shell's logical coordinates, with the work area the active workspace leaves
    // to windows on it (the monitor less Shell's panel and any struts).
    Monitors() {
        const workspace = global.workspace_manager.get_active_workspace();
        const monitors = Main.layoutManager.monitors.map((monitor, index) => ({
            index,
            primary: index === Main.layoutManager.primaryIndex,
            scale: monitor.geometry_scale,
            geometry: rectangle(monitor),
            workArea: rectangle(workspace.get_work_area_for_monitor(index)),
        }));
        return JSON.stringify({
            workspace: workspace.index(),
            overview: Main.overview.visible,
            monitors,
        });
    }

    // Every window Shell manages, in stacking order from the bottom, with its frame (the
    // rectangle the window manager places, without client-side shadows).
    Windows() {
        const focus = global.display.get_focus_window();
        const windows = managedWindows().map(window => ({
            id: window.get_id(),
            title: window.get_title(),
            wmClass: window.get_wm_class(),
            appId: appIdOf(window),
            pid: window.get_pid(),
            x11: window.get_client_type() === Meta.WindowClientType.X11,
            type: window.get_window_type(),
            monitor: window.get_monitor(),
            workspace: window.get_workspace() ? window.get_workspace().index() : -1,
            focused: window === focus,
            above: window.is_above(),
            allWorkspaces: window.is_on_all_workspaces(),
            maximized: window.get_maximized(),
            fullscreen: window.is_fullscreen(),
            frame: rectangle(window.get_frame_rect()),
        }));
        return JSON.stringify(windows);
    }

    TopBarIcon() {
        return this._topBarIcon();
    }

    // What Shell shows on all monitors, as a PNG file at `path`; only with GRIDLUME_SHELL_DEBUG
    // (Shell's own screenshot service answers only the programs it knows).
    ScreenshotAsync([path], invocation) {
        if (!DEBUG) {
            invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
                'Screenshots only with GRIDLUME_SHELL_DEBUG set in GNOME Shell');
            return;
        }
        const stream = Gio.File.new_for_path(path).replace(null, false, Gio.FileCreateFlags.NONE, null);
        new Shell.Screenshot().screenshot(false, stream, (shooter, result) => {
            try {
                shooter.screenshot_finish(result);
                stream.close(null);
                invocation.return_value(null);
            } catch (e) {
                invocation.return_dbus_error('org.gridlume.Shell.Error.Failed', e.message);
            }
        });
    }

    // Where the pointer is, in the same coordinates.
    Pointer() {
        const [x, y, modifiers] = global.get_pointer();
        return JSON.stringify({ x, y, modifiers });
    }

    // Places a window's frame, out of fullscreen and unmaximized first, and answers the frame it
    // settled at: what was asked (reason ''), or what the window kept to ('constrained'), or where
    // it was when the wait ran out ('unsettled'); not ok, 'gone', for a window that is not there
    // or went meanwhile.
    MoveResizeAsync([id, x, y, width, height], invocation) {
        const window = findWindow(id);
        if (!window) {
            invocation.return_value(new GLib.Variant('(biiiis)', [false, 0, 0, 0, 0, 'gone']));
            return;
        }
        // Without Shell's animation of the change of state, which would hold the frame back.
        if (window.is_fullscreen() || window.get_maximized())
            Main.wm.skipNextEffect(window.get_compositor_private());
        if (window.is_fullscreen())
            window.unmake_fullscreen();
        if (window.get_maximized())
            window.unmaximize(Meta.MaximizeFlags.BOTH);
        window.move_resize_frame(true, x, y, width, height);
        this._moves.add(new PendingMove(window, { x, y, width, height }, invocation,
            move => this._moves.delete(move)));
    }

    // A window's frame, as Windows() reports it; false and zeros for a window that is not there.
    Frame(id) {
        const window = findWindow(id);
        if (!window)
            return [false, 0, 0, 0, 0];
        const frame = window.get_frame_rect();
        return [true, frame.x, frame.y, frame.width, frame.height];
    }

    Exists(id) {
        return findWindow(id) !== null;
    }

    Activate(id) {
        const window = findWindow(id);
        if (!window)
            return false;
        window.activate(global.get_current_time());
        return true;
    }

    // The focused window, or 0, 0, '' when none is.
    ActiveWindow() {
        const window = global.display.get_focus_window();
        return window ? [window.get_id(), window.get_pid(), appIdOf(window)] : [0, 0, ''];
    }

    // Grabs a shortcut for the program asking: 0 and why when GNOME has it bound already (or it
    // is no accelerator at all). Accelerator(action) then goes to that program alone when the
    // shortcut is pressed, in every mode of Shell's, until it ungrabs it or leaves the bus.
    GrabAcceleratorAsync([accelerator], invocation) {
        const action = this._grab(accelerator, invocation.get_sender());
        invocation.return_value(new GLib.Variant('(us)', [action, action ? '' : 'Used by another program']));
    }

    UngrabAcceleratorAsync([action], invocation) {
        const ok = this._grabs.get(action) === invocation.get_sender() && this._ungrab(action);
        invocation.return_value(new GLib.Variant('(b)', [ok]));
    }

    // Many at once, the way Gridlume takes the keyboard while its panels are shown: the action of
    // each, 0 for one GNOME has bound already.
    GrabAcceleratorsAsync([accelerators], invocation) {
        const sender = invocation.get_sender();
        invocation.return_value(new GLib.Variant('(au)', [accelerators.map(a => this._grab(a, sender))]));
    }

    UngrabAcceleratorsAsync([actions], invocation) {
        const sender = invocation.get_sender();
        actions.filter(action => this._grabs.get(action) === sender).forEach(action => this._ungrab(action));
        invocation.return_value(null);
    }

    _grab(accelerator, sender) {
        const action = global.display.grab_accelerator(accelerator, Meta.KeyBindingFlags.NONE);
        if (action === Meta.KeyBindingAction.NONE)
            return 0;
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action), Shell.ActionMode.ALL);
        this._grabs.set(action, sender);
        if (!this._grabbers.has(sender)) {
            this._grabbers.set(sender, Gio.bus_watch_name_on_connection(Gio.DBus.session, sender,
                Gio.BusNameWatcherFlags.NONE, null, () => this._grabberVanished(sender)));
        }
        return action;
    }

    _ungrab(action) {
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action), Shell.ActionMode.NONE);
        this._grabs.delete(action);
        return global.display.ungrab_accelerator(action);
    }

    _grabberVanished(sender) {
        [...this._grabs].filter(([, grabber]) => grabber === sender)
            .forEach(([action]) => this._ungrab(action));
        Gio.bus_unwatch_name(this._grabbers.get(sender));
        this._grabbers.delete(sender);
    }

    _acceleratorActivated(action) {
        const sender = this._grabs.get(action);
        if (sender) {
            Gio.DBus.session.emit_signal(sender, OBJECT_PATH, BUS_NAME, 'Accelerator',
                new GLib.Variant('(u)', [action]));
        }
    }

    _focusChanged() {
        this._object.emit_signal('WindowActivated',
            new GLib.Variant('(uis)', this.ActiveWindow()));
    }

    // Monitors and work areas change together, each signal several times: told once, when Shell
    // is idle again.
    _monitorsChanged() {
        if (this._monitorsChangedIdle)
            return;
        this._monitorsChangedIdle = GLib.idle_add(GLib.PRIORITY_DEFAULT_IDLE, () => {
            this._monitorsChangedIdle = 0;
            this._object.emit_signal('MonitorsChanged', null);
            return GLib.SOURCE_REMOVE;
        });
    }
}

// Gridlume's icon in the top bar, while Gridlume is on the bus: a left click is Toggle(), any
// other click opens the menu of Gridlume's tray icon, whose items call Gridlume likewise.
const GRIDLUME_NAME = 'org.gridlume.Gridlume';
const GRIDLUME_PATH = '/org/gridlume/Gridlume';

function callGridlume(method) {
    Gio.DBus.session.call(GRIDLUME_NAME, GRIDLUME_PATH, GRIDLUME_NAME, method, null, null,
        Gio.DBusCallFlags.NONE, -1, null, null);
}

const GridlumeTopBarIcon = GObject.registerClass(
class GridlumeTopBarIcon extends PanelMenu.Button {
    _init(iconFile) {
        super._init(0.0, 'Gridlume');
        this.add_child(new St.Icon({
            gicon: new Gio.FileIcon({ file: iconFile }),
            style_class: 'system-status-icon',
        }));
        [['Settings\u2026', 'ShowSettings'], ['Help', 'ShowHelp'], null, ['Quit Gridlume', 'Quit']]
            .forEach(item => this.menu.addMenuItem(item
                ? this._menuItem(...item) : new PopupMenu.PopupSeparatorMenuItem()));
    }

    _menuItem(label, method) {
        const item = new PopupMenu.PopupMenuItem(label);
        item.connect('activate', () => callGridlume(method));
        return item;
    }

    vfunc_event(event) {
        if (event.type() === Clutter.EventType.BUTTON_PRESS && event.get_button() === Clutter.BUTTON_PRIMARY) {
            this.menu.close();
            callGridlume('Toggle');
            return Clutter.EVENT_STOP;
        }
        return super.vfunc_event(event);
    }
});

// Everything the extension does while enabled; `directory` is the extension's folder.
class Gridlume {
    constructor(directory) {
        this._icon = null;
        this._shell = new GridlumeShell(() => this.topBarIcon());
        const iconFile = directory.get_child('gridlume-symbolic.svg');
        this._watch = Gio.bus_watch_name(Gio.BusType.SESSION, GRIDLUME_NAME, Gio.BusNameWatcherFlags.NONE,
            () => {
                if (this._icon)
                    return;
                this._icon = new GridlumeTopBarIcon(iconFile);
                Main.panel.addToStatusArea('gridlume', this._icon);
            },
            () => this._removeIcon());
    }

    _removeIcon() {
        if (this._icon) {
            this._icon.destroy();
            this._icon = null;
        }
    }

    // Where the top-bar icon is, in Shell's coordinates; zeros while it is not shown.
    topBarIcon() {
        if (!this._icon || !this._icon.get_stage())
            return [0, 0, 0, 0];
        const [x, y] = this._icon.get_transformed_position();
        const [width, height] = this._icon.get_transformed_size();
        return [Math.round(x), Math.round(y), Math.round(width), Math.round(height)];
    }

    destroy() {
        Gio.bus_unwatch_name(this._watch);
        this._removeIcon();
        this._shell.destroy();
        this._shell = null;
    }
}
