// Gridlume's part inside KWin. It reports the outputs, their work areas and window activations
// to Gridlume, and carries out Gridlume's requests on other programs' windows. KWin scripts can
// call out over D-Bus but cannot be called, so the script asks Gridlume for its next request
// (a call Gridlume answers once it has one) and answers each request with a call of its own.
// Gridlume replaces the placeholders below when it loads the script.
var service = "@SERVICE@";
var gridlumePid = @PID@;
var path = "/Gridlume";
var iface = "org.gridlume.KWinScript";

function rect(g) {
    return { x: g.x, y: g.y, width: g.width, height: g.height };
}

function sameRect(a, b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// KWin 6 renamed the scripting API's clients to windows and numbered screens to outputs; which
// names this KWin has is decided once, here.
var kwin6 = typeof workspace.windowList === "function";
var api = kwin6 ? {
    windows: function () { return workspace.windowList(); },
    activeWindow: function () { return workspace.activeWindow; },
    screens: function () { return workspace.screens; },
    windowActivated: workspace.windowActivated,
    windowAdded: workspace.windowAdded,
    windowRemoved: workspace.windowRemoved,
    screensChanged: [workspace.screensChanged, workspace.virtualScreenGeometryChanged, workspace.currentDesktopChanged]
} : {
    windows: function () { return workspace.clientList(); },
    activeWindow: function () { return workspace.activeClient; },
    screens: function () {
        var list = [];
        for (var i = 0; i < workspace.numScreens; ++i)
            list.push(i);
        return list;
    },
    windowActivated: workspace.clientActivated,
    windowAdded: workspace.clientAdded,
    windowRemoved: workspace.clientRemoved,
    screensChanged: [workspace.numberScreensChanged, workspace.screenResized, workspace.virtualScreenGeometryChanged,
        workspace.currentDesktopChanged]
};

function screens() {
    var list = [];
    var all = api.screens();
    for (var i = 0; i < all.length; ++i) {
        list.push({
            frame: rect(workspace.clientArea(KWin.ScreenArea, all[i], workspace.currentDesktop)),
            visibleFrame: rect(workspace.clientArea(KWin.MaximizeArea, all[i], workspace.currentDesktop))
        });
    }
    return list;
}

function describe(c) {
    if (!c)
        return null;
    return { window: c.internalId.toString(), pid: c.pid, resourceClass: String(c.resourceClass),
        resourceName: String(c.resourceName), desktopFileName: String(c.desktopFileName) };
}

function event(kind, data) {
    callDBus(service, path, iface, "event", JSON.stringify({ kind: kind, data: data }));
}

function answer(id, result) {
    callDBus(service, path, iface, "reply", id, JSON.stringify(result));
}

function isApplicationWindow(c) {
    return c && !c.deleted && (c.normalWindow || c.dialog);
}

function windowWithId(id) {
    var clients = api.windows();
    for (var i = 0; i < clients.length; ++i) {
        if (clients[i].internalId.toString() == id)
            return clients[i];
    }
    return null;
}

// Windows in the order they were last active, the most recent last: KWin's scripting offers no
// stacking order, and the window a user worked in last is the one they mean.
var recent = [];

function noteActivation(c) {
    var index = recent.indexOf(c);
    if (index >= 0)
        recent.splice(index, 1);
    recent.push(c);
}

// The active window when it is the process's, else its window that was active last, else any.
function focusedWindow(pid) {
    var active = api.activeWindow();
    if (isApplicationWindow(active) && active.pid == pid)
        return active;
    for (var i = recent.length - 1; i >= 0; --i) {
        if (isApplicationWindow(recent[i]) && recent[i].pid == pid)
            return recent[i];
    }
    var clients = api.windows();
    for (var j = clients.length - 1; j >= 0; --j) {
        if (isApplicationWindow(clients[j]) && clients[j].pid == pid)
            return clients[j];
    }
    return null;
}

function setFrame(request) {
    var c = windowWithId(request.window);
    if (!c)
        return answer(request.id, { gone: true });
    // KWin keeps a maximized or full-screen window where it is; restore it first, as a user would.
    if (c.fullScreen)
        c.fullScreen = false;
    if (c.maximizable)
        c.setMaximize(false, false);
    var g = rect(c.frameGeometry);
    if (request.x !== undefined) {
        g.x = request.x;
        g.y = request.y;
    }
    if (request.width !== undefined) {
        g.width = request.width;
        g.height = request.height;
    }
    if (sameRect(rect(c.frameGeometry), g))
        return answer(request.id, { frame: rect(c.frameGeometry) });
    c.frameGeometry = g;
    // An X11 window takes its new frame at once (KWin applies its size increments itself); a
    // Wayland window only once it has drawn itself at the new size, and it may choose another.
    if (sameRect(rect(c.frameGeometry), g) || request.width === undefined)
        return answer(request.id, { frame: rect(c.frameGeometry) });
    var done = false;
    var settle = function () {
        if (done)
            return;
        done = true;
        c.frameGeometryChanged.disconnect(settle);
        answer(request.id, { frame: rect(c.frameGeometry) });
    };
    c.frameGeometryChanged.connect(settle);
}

function handle(request) {
    if (request.op == "screens") {
        answer(request.id, { screens: screens() });
    } else if (request.op == "active") {
        answer(request.id, { active: describe(api.activeWindow()) });
    } else if (request.op == "focusedWindow") {
        answer(request.id, { focused: describe(focusedWindow(request.pid)) });
    } else if (request.op == "frame") {
        var c = windowWithId(request.window);
        answer(request.id, c ? { frame: rect(c.frameGeometry) } : { gone: true });
    } else if (request.op == "setFrame") {
        setFrame(request);
    } else if (request.op == "stop") {
        return false;
    }
    return true;
}

function poll() {
    callDBus(service, path, iface, "poll", function (text) {
        var more = true;
        if (text) {
            var request = JSON.parse(text);
            try {
                more = handle(request);
            } catch (error) {
                answer(request.id, { error: String(error) });
            }
        }
        if (more)
            poll();
    });
}

// KWin recomputes the work areas after it has told scripts of the change (a dock that goes is
// removed first, its strut later), so Gridlume is only told to ask again: its question comes
// back once KWin is done.
function reportScreens() {
    event("screensMayHaveChanged", null);
}

api.windowActivated.connect(function (c) {
    if (c)
        noteActivation(c);
    event("activated", describe(c));
});
api.screensChanged.forEach(function (signal) { signal.connect(reportScreens); });
// Panels and docks change the work areas as they come, go or move.
// Gridlume's tiling panels are X11 windows that ask KWin for all of this through EWMH; KWin on
// Wayland leaves some of it out (every desktop, the window switcher), so it is said here again.
function keepPanelInPlace(c) {
    if (c.pid != gridlumePid || String(c.caption).indexOf("Gridlume Tiling Panel") != 0)
        return;
    c.onAllDesktops = true;
    c.skipTaskbar = true;
    c.skipPager = true;
    c.skipSwitcher = true;
    c.keepAbove = true;
}

api.windowAdded.connect(function (c) {
    keepPanelInPlace(c);
    if (c.dock) {
        reportScreens();
        c.frameGeometryChanged.connect(reportScreens);
    }
});
api.windowRemoved.connect(function (c) {
    var index = recent.indexOf(c);
    if (index >= 0)
        recent.splice(index, 1);
    if (c.dock)
        reportScreens();
});
poll();
