// Kestrune's KWin script (KDE Plasma 5 and 6). Kestrune loads it at start
// through KWin's scripting interface and unloads it when it quits. On every
// window activation it calls Kestrune back with the window's desktop file
// name, resource class and name, and process id, so that exclusions follow
// the active window under Wayland. Nothing typed is seen.

const SERVICE = "com.kestrune.Kestrune";
const PATH = "/com/kestrune/Kestrune/KWin";
const INTERFACE = "com.kestrune.Kestrune.KWin";

// Plasma 5 gives the resource class and name as byte arrays, Plasma 6 as strings.
function text(value) {
    if (value === undefined || value === null)
        return "";
    if (value instanceof ArrayBuffer)
        return String.fromCharCode.apply(null, new Uint8Array(value));
    return String(value);
}

function report(window) {
    if (!window) {
        callDBus(SERVICE, PATH, INTERFACE, "WindowActivated", "", "", "", "0");
        return;
    }
    callDBus(SERVICE, PATH, INTERFACE, "WindowActivated", text(window.desktopFileName),
             text(window.resourceClass), text(window.resourceName), String(window.pid || 0));
}

// Plasma 6 speaks of windows, Plasma 5 of clients.
if (workspace.windowActivated !== undefined)
    workspace.windowActivated.connect(report);
else
    workspace.clientActivated.connect(report);
report(workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
