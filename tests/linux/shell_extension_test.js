// Kestrune's GNOME Shell extension, its own code under gjs on a private
// session bus (dbus-run-session), with the Shell's window tracker played:
// the focused application goes to the owner of Kestrune's bus name alone,
// by a call, never in a signal, and no other program may ask for it.
//
//   dbus-run-session -- gjs -m shell_extension_test.js module|legacy EXTENSION.js

import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';

Gio._promisify(Gio.DBusConnection.prototype, 'call');

const [form, file] = ARGV;
const KESTRUNE = 'com.kestrune.Kestrune';
const EXTENSION_PATH = '/com/kestrune/Kestrune/ShellExtension';
const EXTENSION_INTERFACE = 'com.kestrune.Kestrune.ShellExtension';
const RECEIVER_XML = `
<node>
  <interface name="com.kestrune.Kestrune.GnomeShell">
    <method name="ActiveApplicationChanged">
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="i" direction="in"/>
    </method>
  </interface>
</node>`;

let failures = 0;
function check(condition, what) {
    print(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
    if (!condition)
        failures++;
}

// The Shell's parts the extension touches.
const app = id => ({is_window_backed: () => false, get_id: () => id});
const tracker = {
    focus_app: app('org.example.Editor.desktop'),
    handlers: new Map(),
    connect(signal, handler) {
        this.handlers.set(1, handler);
        return 1;
    },
    disconnect(id) {
        this.handlers.delete(id);
    },
    focus(id) {
        this.focus_app = app(id);
        for (const handler of this.handlers.values())
            handler();
    },
};
const Shell = {WindowTracker: {get_default: () => tracker}};
const shellGlobal = {
    display: {focus_window: {get_wm_class: () => 'Editor', get_wm_class_instance: () => 'editor', get_pid: () => 4242}},
};
const Keyboard = {getInputSourceManager: () => ({inputSources: {}, currentSource: null})};

// The extension's text with the Shell's modules handed in instead of imported.
function loadExtension() {
    const [, bytes] = GLib.file_get_contents(file);
    let source = new TextDecoder().decode(bytes);
    if (form === 'module') {
        source = source.split('\n').filter(line => !line.startsWith('import ')).join('\n')
            .replace('export default class', 'class');
        const make = new Function('Gio', 'GLib', 'Shell', 'Extension', 'Keyboard', 'global',
            `${source}\nreturn new KestruneExtension();`);
        return make(Gio, GLib, Shell, class {}, Keyboard, shellGlobal);
    }
    const make = new Function('imports', 'global', `${source}\nreturn init();`);
    return make({gi: {Gio, GLib, Shell}, ui: {status: {keyboard: Keyboard}}}, shellGlobal);
}

function connect() {
    return Gio.DBusConnection.new_for_address_sync(GLib.getenv('DBUS_SESSION_BUS_ADDRESS'),
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, null, null);
}

async function ask(connection) {
    try {
        const reply = await connection.call(Gio.DBus.session.get_unique_name(), EXTENSION_PATH, EXTENSION_INTERFACE,
            'GetActiveApplication', null, null, Gio.DBusCallFlags.NONE, 5000, null);
        return reply.deep_unpack();
    } catch (e) {
        return Gio.DBusError.get_remote_error(e);
    }
}

function until(condition) {
    return new Promise((resolve, reject) => {
        const deadline = GLib.get_monotonic_time() + 10 * 1000000;
        GLib.idle_add(GLib.PRIORITY_LOW, () => {
            if (condition()) {
                resolve();
                return GLib.SOURCE_REMOVE;
            }
            if (GLib.get_monotonic_time() > deadline) {
                reject(new Error('timed out'));
                return GLib.SOURCE_REMOVE;
            }
            return GLib.SOURCE_CONTINUE;
        });
    });
}

async function main() {
    const shellName = Gio.DBus.session.get_unique_name();
    const kestrune = connect();
    const intruder = connect();
    const told = [];
    const broadcast = [];
    intruder.signal_subscribe(null, null, null, null, null, Gio.DBusSignalFlags.NONE,
        (connection, sender, path, iface, name) => {
            if (sender !== 'org.freedesktop.DBus')
                broadcast.push(`${iface}.${name}`);
        });
    kestrune.register_object('/com/kestrune/Kestrune/GnomeShell',
        Gio.DBusNodeInfo.new_for_xml(RECEIVER_XML).interfaces[0],
        (connection, sender, path, iface, method, parameters, invocation) => {
            told.push({sender, focus: parameters.deep_unpack()});
            invocation.return_value(null);
        }, null, null);

    const extension = loadExtension();
    extension.enable();
    check(await ask(intruder) === 'org.freedesktop.DBus.Error.AccessDenied',
        'with no Kestrune on the bus, nobody is answered');

    await kestrune.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus', 'RequestName',
        new GLib.Variant('(su)', [KESTRUNE, 4]), null, Gio.DBusCallFlags.NONE, -1, null);
    await until(() => told.length === 1);
    check(told[0].sender === shellName && JSON.stringify(told[0].focus) ===
        JSON.stringify(['org.example.Editor.desktop', 'Editor', 'editor', 4242]),
    'Kestrune is told the application in front as soon as it takes its name');
    check(JSON.stringify(await ask(kestrune)) === JSON.stringify(['org.example.Editor.desktop', 'Editor', 'editor', 4242]),
        'Kestrune is answered');
    check(await ask(intruder) === 'org.freedesktop.DBus.Error.AccessDenied', 'another program is refused');

    tracker.focus('org.example.Terminal.desktop');
    await until(() => told.length === 2);
    check(told[1].focus[0] === 'org.example.Terminal.desktop', 'a change of focus is told to Kestrune');
    await ask(intruder); // anything the Shell sent before this answer has reached the intruder
    check(broadcast.length === 0, `nothing is broadcast (saw ${broadcast.join(', ') || 'nothing'})`);

    extension.disable();
    check(!Array.isArray(await ask(kestrune)), 'turned off, it answers no one');
}

const loop = new GLib.MainLoop(null, false);
main().catch(e => {
    print(`FAIL ${e.message}`);
    failures++;
}).finally(() => loop.quit());
loop.run();
System.exit(failures ? 1 : 0);
