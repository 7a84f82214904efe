// Kestrune's GNOME Shell extension for GNOME 43 and 44 (legacy imports; 45
// and later run kestrune@kestrune.com instead): tells Kestrune which
// application is in front, so that its exclusions follow the active window
// under Wayland. Only the focused application's identity is sent (its
// desktop id, window class and process id), and only to the current owner
// of Kestrune's bus name: the Shell keeps which window is in front from
// other programs, and so does this extension. Kestrune in turn trusts only
// what comes from the owner of org.gnome.Shell. Nothing typed is seen.
// It also lists and selects the input sources, for Kestrune's Eisu and Kana.

const {Gio, GLib, Shell} = imports.gi;
const Keyboard = imports.ui.status.keyboard;

const OBJECT_PATH = '/com/kestrune/Kestrune/ShellExtension';
// Kestrune's bus name, and the object on it that takes the focused application.
const KESTRUNE = 'com.kestrune.Kestrune';
const KESTRUNE_PATH = '/com/kestrune/Kestrune/GnomeShell';
const KESTRUNE_INTERFACE = 'com.kestrune.Kestrune.GnomeShell';
const INTERFACE_XML = `
<node>
  <interface name="com.kestrune.Kestrune.ShellExtension">
    <method name="GetActiveApplication">
      <arg type="s" direction="out" name="appId"/>
      <arg type="s" direction="out" name="wmClass"/>
      <arg type="s" direction="out" name="wmClassInstance"/>
      <arg type="i" direction="out" name="pid"/>
    </method>
    <method name="GetInputSources">
      <arg type="a(ss)" direction="out" name="sources"/>
      <arg type="u" direction="out" name="current"/>
    </method>
    <method name="SelectInputSource">
      <arg type="u" direction="in" name="index"/>
      <arg type="b" direction="out" name="selected"/>
    </method>
  </interface>
</node>`;

// The input sources in the Shell's order, as (type, id), and the index of
// the current one: Kestrune's Kana looks for the Japanese one here.
function inputSources(manager) {
    const sources = manager.inputSources;
    const list = [];
    for (let i = 0; sources[i]; ++i)
        list.push([sources[i].type, sources[i].id]);
    return [list, manager.currentSource ? manager.currentSource.index : 0];
}

// Selects a source as the Shell's own switcher does, so that the top bar
// and IBus agree; false when there is no such source.
function selectInputSource(manager, index) {
    const source = manager.inputSources[index];
    if (!source)
        return false;
    source.activate(true);
    return true;
}

// (appId, wmClass, wmClassInstance, pid) of the focused window's
// application; empty strings and 0 when nothing has focus.
function describeFocus(tracker) {
    const window = global.display.focus_window;
    const app = tracker.focus_app;
    // A window-backed app has a made-up id ("window:12"): no desktop file.
    const appId = app && !app.is_window_backed() ? app.get_id() || '' : '';
    if (!window)
        return [appId, '', '', 0];
    return [appId, window.get_wm_class() || '', window.get_wm_class_instance() || '', Math.max(window.get_pid(), 0)];
}

class KestruneExtension {
    enable() {
        this._tracker = Shell.WindowTracker.get_default();
        this._kestrune = null;
        this._service = {
            GetActiveApplicationAsync: (parameters, invocation) => this._answer(invocation),
            GetInputSources: () => inputSources(Keyboard.getInputSourceManager()),
            SelectInputSource: index => selectInputSource(Keyboard.getInputSourceManager(), index),
        };
        this._exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this._service);
        this._exported.export(Gio.DBus.session, OBJECT_PATH);
        this._watch = Gio.bus_watch_name_on_connection(Gio.DBus.session, KESTRUNE, Gio.BusNameWatcherFlags.NONE,
            (connection, name, owner) => {
                this._kestrune = owner;
                this._tell();
            },
            () => {
                this._kestrune = null;
            });
        this._focusHandler = this._tracker.connect('notify::focus-app', () => this._tell());
    }

    disable() {
        this._tracker.disconnect(this._focusHandler);
        Gio.bus_unwatch_name(this._watch);
        this._exported.unexport();
        this._exported = null;
        this._service = null;
        this._tracker = null;
        this._kestrune = null;
    }

    // A call to Kestrune alone, never a signal, which every program on the
    // bus could receive.
    _tell() {
        if (!this._kestrune || !this._tracker)
            return;
        Gio.DBus.session.call(this._kestrune, KESTRUNE_PATH, KESTRUNE_INTERFACE, 'ActiveApplicationChanged',
            new GLib.Variant('(sssi)', describeFocus(this._tracker)), null, Gio.DBusCallFlags.NO_AUTO_START, -1,
            null, null);
    }

    // Answers only the program that owns Kestrune's name now, asked of the
    // bus itself at each call.
    _answer(invocation) {
        const sender = invocation.get_sender();
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'GetNameOwner', new GLib.Variant('(s)', [KESTRUNE]), new GLib.VariantType('(s)'),
            Gio.DBusCallFlags.NONE, -1, null, (connection, result) => {
                let owner = null;
                try {
                    [owner] = connection.call_finish(result).deep_unpack();
                } catch (e) {
                    owner = null;
                }
                if (!this._tracker || !owner || owner !== sender) {
                    invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
                        'Only Kestrune is told which application is in front.');
                    return;
                }
                invocation.return_value(new GLib.Variant('(sssi)', describeFocus(this._tracker)));
            });
    }
}

// eslint-disable-next-line no-unused-vars
function init() {
    return new KestruneExtension();
}
