# Makes Gridlume's GNOME Shell extension of one style from its one source, gridlume-shell.js:
#   cmake -DSTYLE=imports|modules -DSOURCE_DIR=<this folder> -DICON=<gridlume-symbolic.svg>
#         -DOUTPUT_DIR=<folder> -P GenerateExtension.cmake
# "imports" is the style of GNOME 43 and 44 (imports.gi, an init() function), "modules" the ES
# modules of GNOME 45 and later (gi:// and resource:// imports, a default export that extends
# Shell's Extension). Only the imports at the top and the entry point at the end differ; the
# folder gets extension.js, metadata.json with the versions of that style, and the icon.
if(STYLE STREQUAL "imports")
    set(SHELL_VERSIONS "[\"43\", \"44\"]")
    set(HEADER [=[/* exported init */
const { Clutter, Gio, GLib, GObject, Meta, Shell, St } = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
]=])
    set(FOOTER [=[
class Extension {
    enable() {
        this._gridlume = new Gridlume(ExtensionUtils.getCurrentExtension().dir);
    }

    disable() {
        this._gridlume.destroy();
        this._gridlume = null;
    }
}

function init() {
    return new Extension();
}
]=])
elseif(STYLE STREQUAL "modules")
    set(SHELL_VERSIONS "[\"45\", \"46\", \"47\", \"48\"]")
    set(HEADER [=[import Clutter from 'gi://Clutter';
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import GObject from 'gi://GObject';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import St from 'gi://St';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
]=])
    set(FOOTER [=[
export default class GridlumeExtension extends Extension {
    enable() {
        this._gridlume = new Gridlume(this.dir);
    }

    disable() {
        this._gridlume.destroy();
        this._gridlume = null;
    }
}
]=])
else()
    message(FATAL_ERROR "STYLE is imports or modules, not '${STYLE}'")
endif()

file(READ ${SOURCE_DIR}/gridlume-shell.js BODY)
file(MAKE_DIRECTORY ${OUTPUT_DIR})
file(WRITE ${OUTPUT_DIR}/extension.js.new "${HEADER}\n${BODY}${FOOTER}")
configure_file(${SOURCE_DIR}/metadata.json.in ${OUTPUT_DIR}/metadata.json @ONLY)
configure_file(${ICON} ${OUTPUT_DIR}/gridlume-symbolic.svg COPYONLY)
# Rewritten only when it changes, so that what depends on it is not made again for nothing.
file(COPY_FILE ${OUTPUT_DIR}/extension.js.new ${OUTPUT_DIR}/extension.js ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT_DIR}/extension.js.new)
