/* Gridlume's link into GNOME Shell (43, the imports style of extensions).
 *
 * While enabled it exports org.gridlume.Shell at /org/gridlume/Shell on the session bus, on
 * Shell's own connection, and owns the bus name org.gridlume.Shell there, so that Gridlume can
 * tell whether the extension runs. Every method answers a JSON text. */
/* exported init */

const { Gio, Meta } = imports.gi;
const Main = imports.ui.main;

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
  </interface>
</node>`;

function rectangle(r) {
    return { x: r.x, y: r.y, width: r.width, height: r.height };
}

class GridlumeShell {
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

    // Every window Shell manages (override-redirect ones left out), in stacking order from the
    // bottom, with its frame (the rectangle the window manager places, without client-side
    // shadows).
    Windows() {
        const focus = global.display.get_focus_window();
        const windows = global.get_window_actors().map(actor => actor.get_meta_window())
            .filter(window => !window.is_override_redirect()).map(window => ({
            id: window.get_id(),
            title: window.get_title(),
            wmClass: window.get_wm_class(),
            pid: window.get_pid(),
            x11: window.get_client_type() === Meta.WindowClientType.X11,
            type: window.get_window_type(),
            monitor: window.get_monitor(),
            workspace: window.get_workspace() ? window.get_workspace().index() : -1,
            focused: window === focus,
            frame: rectangle(window.get_frame_rect()),
        }));
        return JSON.stringify(windows);
    }

    // Where the pointer is, in the same coordinates.
    Pointer() {
        const [x, y, modifiers] = global.get_pointer();
        return JSON.stringify({ x, y, modifiers });
    }
}

class Extension {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, new GridlumeShell());
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._name);
        this._object.unexport();
        this._object = null;
    }
}

function init() {
    return new Extension();
}
