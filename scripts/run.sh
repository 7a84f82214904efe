#!/usr/bin/env bash
# Installs what is missing, builds the release preset, and starts Kestrune:
# on a machine with a graphical session the real tray application; without
# one, its key engine on the simulated backend over the bundled tour (or the
# script given as the first argument), saying why.
set -euo pipefail
cd "$(dirname "$0")/.."

# Whether a display server answers at DISPLAY or WAYLAND_DISPLAY; prints
# what is missing when none does.
graphical_session() {
    if [ -n "${WAYLAND_DISPLAY:-}" ]; then
        local socket="$WAYLAND_DISPLAY"
        [ "${socket#/}" != "$socket" ] || socket="${XDG_RUNTIME_DIR:-/nonexistent}/$socket"
        if [ -S "$socket" ]; then return 0; fi
        echo "WAYLAND_DISPLAY is set, but $socket is not a Wayland socket" >&2
    fi
    if [ -n "${DISPLAY:-}" ]; then
        local host="${DISPLAY%%:*}" number="${DISPLAY#*:}"
        number="${number%%.*}"
        if [ -z "$host" ] || [ "$host" = "unix" ]; then
            if [ -S "/tmp/.X11-unix/X$number" ]; then return 0; fi
            echo "DISPLAY is $DISPLAY, but no X server listens at /tmp/.X11-unix/X$number" >&2
        elif timeout 2 bash -c "exec 3<>/dev/tcp/$host/$((6000 + number))" 2>/dev/null; then
            return 0
        else
            echo "DISPLAY is $DISPLAY, but no X server answers there" >&2
        fi
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "neither DISPLAY nor WAYLAND_DISPLAY is set" >&2
    fi
    return 1
}

bash scripts/setup.sh
cmake --preset release > /dev/null
if [ $# -eq 0 ]; then
    if why=$(graphical_session 2>&1); then
        cmake --build --preset release --target kestrune > /dev/null
        echo "Starting Kestrune in the system tray; click its icon for the settings." >&2
        echo "Quit it from its menu, with Ctrl+C here, or with: build/release/src/app/kestrune --quit" >&2
        exec build/release/src/app/kestrune
    fi
    echo "No graphical session (${why//$'\n'/; }), so the Kestrune tray application cannot start here." >&2
    echo "Running its key engine on the simulated backend over the bundled tour instead." >&2
fi
cmake --build --preset release > /dev/null
exec build/release/tools/kestrune-sim/kestrune-sim "${1:-tools/kestrune-sim/tour.ksim}"
