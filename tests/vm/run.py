#!/usr/bin/python3
"""The real-kernel stage: Kestrune's own build, run in a QEMU guest on
Debian's kernel, typed on through QEMU's emulated keyboards.

  tests/vm/run.py [--build DIR] [--only NAME ...] [--list] [--verbose]

One boot serves every check. The key scenarios are the kestrune-sim scripts
in scenarios/ (NAME.ksim), each typed on a USB keyboard; what Kestrune's
virtual keyboard types must be NAME.keys exactly, as it must on the pipe rig
(test_linux_kernel_scenarios). The checks below them prove what only the
kernel decides: LEDs, the grab, two keyboards, signals; and the input
service, kestrune-inputd, as a user of its own with nothing but its
group's ACLs, following seat0 through a mock logind (inputd_rig.py).

Prints one line per check, then "N passed, N failed"; exits 1 on a failure.
"""
import argparse
import base64
import json
import os
import shlex
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from vm import Vm, VmError, poll  # noqa: E402
from inputd_rig import (FAILING, HUD, INPUT_MODE, KEY_P, KEYBOARDS, LAUNCH, OTHER_USER, REFUSED, REMAPPING,  # noqa: E402
                        STATUS, USER, Inputd, ProtocolError, decode, keyboard_choices_frame,
                        launcher_keys_frame, settings_frame)

REPO = os.path.dirname(os.path.dirname(HERE))
PY = "/usr/bin/python3"
KEYS = f"{PY} {HERE}/guest_keys.py"
TYPER = f"{PY} {HERE}/guest_typer.py"
USB_NAME = "QEMU QEMU USB Keyboard"
VIRTUAL_NAME = "Kestrune virtual keyboard"
PROBE = "f12"  # typed to learn that Kestrune has the keyboard; no scenario uses it

# kestrune-sim's key names as QEMU's key codes and the kernel's key names.
KEYS_OF = {c: (c, "KEY_" + c.upper()) for c in "abcdefghijklmnopqrstuvwxyz0123456789"}
KEYS_OF.update({
    "caps": ("caps_lock", "KEY_CAPSLOCK"), "esc": ("esc", "KEY_ESC"), "tab": ("tab", "KEY_TAB"),
    "space": ("spc", "KEY_SPACE"), "return": ("ret", "KEY_ENTER"), "delete": ("backspace", "KEY_BACKSPACE"),
    "fwddelete": ("delete", "KEY_DELETE"), "lcmd": ("meta_l", "KEY_LEFTMETA"),
    "rcmd": ("meta_r", "KEY_RIGHTMETA"), "lshift": ("shift", "KEY_LEFTSHIFT"),
    "rshift": ("shift_r", "KEY_RIGHTSHIFT"), "lopt": ("alt", "KEY_LEFTALT"), "ropt": ("alt_r", "KEY_RIGHTALT"),
    "lctrl": ("ctrl", "KEY_LEFTCTRL"), "rctrl": ("ctrl_r", "KEY_RIGHTCTRL"), "left": ("left", "KEY_LEFT"),
    "right": ("right", "KEY_RIGHT"), "up": ("up", "KEY_UP"), "down": ("down", "KEY_DOWN"),
})
# Each USB keyboard is bound to a display console of its own and typed on
# through it: unbound, QEMU sends keys to the keyboard it activated last, and
# a keyboard just plugged in takes over part-way through a key (its press on
# one keyboard, its release on the other), which leaves a key held.
CONSOLES = 2

# The keyboard's own autorepeat, as the kernel sets it for a USB keyboard.
REPEAT_DELAY, REPEAT_PERIOD = 0.250, 0.033


class CheckFailed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise CheckFailed(message)


class Stage:
    """The guest, one Kestrune at a time, and the readers of its output."""

    def __init__(self, vm, build):
        self.vm = vm
        self.build = build
        self.kestrune = os.path.join(build, "src", "app", "kestrune")
        self.proc = None
        self.keyboards = 0
        self.usb = None
        self.run_dir = "/tmp/kestrune"
        self.env = {
            "HOME": f"{self.run_dir}/home", "XDG_CONFIG_HOME": f"{self.run_dir}/config",
            "XDG_RUNTIME_DIR": f"{self.run_dir}/run", "QT_QPA_PLATFORM": "offscreen",
            "LANG": "C.UTF-8", "PATH": "/usr/bin:/bin:/usr/sbin:/sbin",
        }
        vm.run(f"mkdir -p {self.run_dir}/home {self.run_dir}/config/Kestrune && "
               f"install -d -m 700 {self.run_dir}/run", check=True)

    # -- keyboards ---------------------------------------------------------

    def plug(self, console="con0"):
        """A new USB keyboard on `console`; key() types on con0's."""
        self.usb = f"kbd{self.keyboards}"
        self.keyboards += 1
        self.vm.plug_usb_keyboard(self.usb, console=console)
        # udev has tagged it a keyboard: Kestrune's monitor has heard of it.
        node = self.vm.input_device(USB_NAME, uniq=self.usb)
        self.vm.wait_until(f"udevadm info {node} | grep -q ID_INPUT_KEYBOARD=1")

    def unplug(self):
        usb, self.usb = self.usb, None
        self.vm.unplug(usb)
        poll(lambda: not any(d.get("U") == usb for d in self.vm.input_devices()), 20, f"{usb} to go")

    def keyboard_key(self, uniq, with_phys=False):
        """The key Kestrune stores a USB keyboard's choice under."""
        d = next(d for d in self.vm.input_devices() if d.get("U") == uniq)
        ids = self.vm.run(f"cd /sys/class/input/{d['event'].split('/')[-1]}/device/id && "
                          "cat bustype vendor product", check=True, timeout=10).stdout.split()
        return ":".join(ids) + f":{d['N']}" + (f"@{d['P']}" if with_phys else "")

    def node_of(self, name):
        r = self.vm.run(f"grep -lx {shlex.quote(name)} /sys/class/input/event*/device/name", timeout=10)
        paths = r.stdout.split()
        return "/dev/input/" + paths[-1].split("/")[4] if paths else None

    def led(self, name, led):
        """A keyboard's LED as the kernel holds it (/sys/class/leds)."""
        r = self.vm.run(
            f"for d in /sys/class/input/input*; do [ \"$(cat $d/name)\" = {shlex.quote(name)} ] && "
            f"cat $d/input*::{led}/brightness; done", timeout=10)
        values = r.stdout.split()
        expect(values, f"{name} has no {led} LED")
        return int(values[-1]) != 0

    def wait_held(self, names):
        """Waits until the kernel holds exactly `names` on the USB keyboard:
        QEMU queues typed keys until the guest's driver polls for them, and
        what it still queues when the keyboard is unplugged is lost."""
        node = self.vm.input_device(USB_NAME, uniq=self.usb)
        want = sorted(names)
        poll(lambda: sorted(self.vm.run(f"{KEYS} --held {node}").stdout.split()) == want, 20,
             f"the kernel to hold {want}", interval=0.1)

    def key(self, qcode, down):
        self.vm.key(qcode, down, device="con0")

    def tap(self, qcode):
        self.vm.tap(qcode, device="con0")

    # -- Kestrune ----------------------------------------------------------

    def start(self, settings):
        """Starts Kestrune with these settings (kestrune-sim's names and
        values); a pause (isEnabled false) is not stored, and is asked for
        once it runs, as kestrune --pause does."""
        values = {"hasSeenOnboarding": True}  # no welcome window to build at every start
        for name, value in settings.items():
            if name != "isEnabled":
                values[name] = {"true": True, "false": False}.get(value, value) if isinstance(value, str) else value
        self.vm.write_file(f"{self.run_dir}/config/Kestrune/settings.json",
                           json.dumps({"version": 1, "values": values}), mode=0o600)
        started = self.vm.spawn([self.kestrune], env=self.env,
                                stdout=f"{self.run_dir}/kestrune.out", stderr=f"{self.run_dir}/kestrune.out")
        self.proc, self.pid = started["proc"], started["pid"]
        self.settle()

    def settle(self):
        """Waits until Kestrune is idle: its main thread applies what the
        tap and the command line asked of it (the Caps Lock mapping once the
        tap runs, a pause) when it gets to it, and under emulation that can
        take seconds after start."""
        def cpu():
            r = self.vm.run(f"cut -d' ' -f14,15 /proc/{self.pid}/stat", timeout=10)
            return r.stdout.strip()
        last = [None]

        def idle():
            now = cpu()
            same = now == last[0]
            last[0] = now
            return same
        poll(idle, 60, "Kestrune to settle", interval=0.3)

    def command(self, option):
        """kestrune OPTION (--pause, --resume, --quit) beside the running one."""
        r = self.vm.run([self.kestrune, option], env=self.env, timeout=30)
        expect(r.rc == 0, f"kestrune {option}: {r.stderr or r.stdout}")
        if option == "--pause":
            poll(lambda: not self.node_of(VIRTUAL_NAME), 20, "the virtual keyboard to go on a pause")
        self.settle()

    def stop(self, sig="TERM"):
        if not self.proc:
            return None
        self.vm.signal(self.proc, sig)
        rc = self.vm.wait(self.proc, timeout=30)
        self.proc = None
        return rc

    def finish(self, *procs):
        """Ends a check, passed or not: Kestrune, the guest processes it
        started, and the keyboard it plugged."""
        self.stop()
        for p in procs:
            self.vm.signal(p, "KILL")
        if self.usb:
            self.unplug()

    def output_log(self):
        return self.vm.read_file(f"{self.run_dir}/kestrune.out")

    # -- what it types -----------------------------------------------------

    def reader(self, path, name=VIRTUAL_NAME):
        self.vm.run(f"rm -f {path}")
        proc = self.vm.spawn(shlex.split(KEYS) + [path, "--name", name], env={"PATH": "/usr/bin:/bin"})["proc"]
        return proc

    def lines(self, path):
        try:
            text = self.vm.read_file(path)
        except VmError:
            return []
        return text.splitlines()

    def sync(self, path, timeout=30):
        """Types the probe until Kestrune's keyboard gives it back: everything
        typed before it has then come through. Returns the keys before it."""
        count = sum(1 for l in self.lines(path) if l == f"+KEY_{PROBE.upper()}")

        def through():
            self.tap(PROBE)
            return sum(1 for l in self.lines(path) if l == f"+KEY_{PROBE.upper()}") > count
        poll(through, timeout, "Kestrune to type the probe", interval=0.5)

    def keys(self, path):
        probe = f"KEY_{PROBE.upper()}"
        return [l for l in self.lines(path) if not l.startswith("#") and l[1:] != probe]


# -- the key scenarios -------------------------------------------------------

def parse(script):
    lines = []
    for number, raw in enumerate(script.splitlines(), 1):
        words = raw.split("#", 1)[0].split()
        if words:
            lines.append((number, words))
    return lines


def run_scenario(stage, name):
    with open(os.path.join(HERE, "scenarios", name + ".ksim")) as f:
        script = parse(f.read())
    with open(os.path.join(HERE, "scenarios", name + ".keys")) as f:
        expected = f.read().splitlines()
    out = f"/tmp/keys-{name}"
    settings = {}
    held = set()
    started = False
    stage.plug()
    reader = stage.reader(out)

    def restart():
        nonlocal started
        if started:
            stage.sync(out)
            stage.stop()
        stage.start(settings)
        stage.sync(out)
        if settings.get("isEnabled") == "false":
            stage.command("--pause")
        started = True

    try:
        for number, words in script:
            verb, args = words[0], words[1:]
            if verb == "set":
                settings[args[0]] = args[1]
                if started and args[0] == "isEnabled":
                    stage.command("--pause" if args[1] == "false" else "--resume")
                    if args[1] == "true":
                        stage.sync(out)
                elif started:
                    restart()
                continue
            if not started:
                restart()
            if verb in ("down", "up", "tap"):
                qcode, name = KEYS_OF[args[0]]
                if verb != "up":
                    stage.key(qcode, True)
                if verb != "down":
                    stage.key(qcode, False)
                (held.add if verb == "down" else held.discard)(name)
            elif verb == "wait":
                text = args[0]
                seconds = float(text[:-1]) if text.endswith("s") and not text.endswith("ms") \
                    else float(text.removesuffix("ms")) / 1000
                time.sleep(seconds)
            elif verb == "repeat":
                count = int(args[1]) if len(args) > 1 else 1
                time.sleep(REPEAT_DELAY + count * REPEAT_PERIOD)
            elif verb == "unplug":
                stage.wait_held(held)
                held.clear()
                stage.unplug()
                stage.plug()
                stage.sync(out)
            else:
                raise CheckFailed(f"line {number}: {verb} cannot be typed on the kernel")
        time.sleep(2.0)  # what falls due after the last line
        stage.sync(out)
        got = stage.keys(out)
        raw = stage.lines(out)
    finally:
        stage.finish(reader)
    if got != expected:
        if os.environ.get("KESTRUNE_VM_DEBUG"):
            print("\n".join(raw))
        diff = [f"  expected {e!r:24} got {g!r}" for e, g in
                zip(expected + [None] * len(got), got + [None] * len(expected)) if e != g]
        raise CheckFailed("the virtual keyboard typed otherwise:\n" + "\n".join(diff[:12]))


# -- what only the kernel decides -------------------------------------------

def console_locks_off(stage):
    """The console's Caps Lock and Num Lock off (KDSKBLED), as a check that
    toggles them, or one that failed part-way, may have left them."""
    stage.vm.run([PY, "-c", "import fcntl, os; fcntl.ioctl(os.open('/dev/tty0', os.O_RDWR), 0x4B65, 0)"],
                 check=True)


def check_leds(stage):
    """Caps Lock and Num Lock LEDs of every keyboard follow the state the
    system sets on the virtual keyboard (here the kernel's console), a
    keyboard plugged in later included."""
    console_locks_off(stage)
    stage.plug()
    out = "/tmp/keys-leds"
    reader = stage.reader(out)
    try:
        stage.start({"isCapsLockDoubleTapEnabled": "true", "singlePressConfig": "esc"})
        stage.sync(out)
        expect(not stage.led(USB_NAME, "capslock"), "Caps Lock lit before any tap")
        for on in (True, False):
            stage.tap("caps_lock")
            stage.tap("caps_lock")
            poll(lambda: stage.led(VIRTUAL_NAME, "capslock") == on, 10, "the virtual keyboard's Caps Lock LED")
            poll(lambda: stage.led(USB_NAME, "capslock") == on, 10,
                 f"the USB keyboard's Caps Lock LED to go {'on' if on else 'off'}")
            poll(lambda: stage.led("AT Translated Set 2 keyboard", "capslock") == on, 10,
                 "the AT keyboard's Caps Lock LED")
            time.sleep(0.5)
        stage.tap("num_lock")
        poll(lambda: stage.led(USB_NAME, "numlock"), 10, "the USB keyboard's Num Lock LED")
        stage.tap("caps_lock")
        stage.tap("caps_lock")
        poll(lambda: stage.led(USB_NAME, "capslock"), 10, "Caps Lock on again")
        first = stage.usb
        stage.plug("con1")  # a second USB keyboard, plugged in now
        newest = stage.usb
        stage.sync(out)
        r = stage.vm.run("for d in /sys/class/input/input*; do [ \"$(cat $d/name)\" = "
                         f"{shlex.quote(USB_NAME)} ] && cat $d/input*::capslock/brightness "
                         "$d/input*::numlock/brightness; done")
        expect(r.stdout.split() == ["1", "1", "1", "1"],
               f"both USB keyboards show Caps Lock and Num Lock (got {r.stdout.split()})")
        stage.usb = newest
        stage.unplug()
        stage.usb = first
    finally:
        stage.finish(reader)
        console_locks_off(stage)


def check_grab(stage):
    """While Kestrune runs, another reader of a grabbed keyboard sees nothing;
    after it quits, everything."""
    stage.plug()
    mine, theirs = "/tmp/keys-grab", "/tmp/keys-grab-other"
    reader = stage.reader(mine)
    other = stage.reader(theirs, USB_NAME)
    try:
        stage.start({})
        stage.sync(mine)
        stage.tap("a")
        stage.sync(mine)
        expect(stage.keys(mine) == ["+KEY_A", "-KEY_A"], f"Kestrune typed {stage.keys(mine)}")
        expect(stage.keys(theirs) == [], f"the other reader saw {stage.keys(theirs)} through the grab")
        # Paused, the keyboard is let go: its keys reach the desktop as typed.
        stage.command("--pause")
        stage.tap("z")
        poll(lambda: "-KEY_Z" in stage.keys(theirs), 10, "the other reader to see Z while paused")
        stage.command("--resume")
        stage.sync(mine)
        expect(stage.keys(theirs) == ["+KEY_Z", "-KEY_Z"],
               f"the other reader saw {stage.keys(theirs)}")
        stage.stop()
        stage.tap("b")
        poll(lambda: "-KEY_B" in stage.keys(theirs), 10, "the other reader to see B after Kestrune quit")
    finally:
        stage.finish(reader, other)


def check_quirks(stage):
    """libinput takes the virtual keyboard for a built-in one, as the shipped
    quirks file says, so that the touchpad's "disable while typing" keeps
    working; the USB keyboard it stands for is left as libinput sees it."""
    stage.plug()
    out = "/tmp/keys-quirks"
    reader = stage.reader(out)
    try:
        stage.start({})
        stage.sync(out)
        stage.vm.run("mkdir -p /tmp/quirks && cp " + shlex.quote(os.path.join(REPO, "resources/linux/kestrune.quirks"))
                     + " /tmp/quirks/50-kestrune.quirks")
        for name, internal in ((VIRTUAL_NAME, True), (USB_NAME, False)):
            node = stage.node_of(name)
            r = stage.vm.run(f"libinput quirks list --data-dir /tmp/quirks {node}", timeout=20)
            got = "AttrKeyboardIntegration=internal" in r.stdout
            expect(got == internal, f"libinput quirks list {name}: {r.stdout.strip() or r.stderr.strip()!r}")
    finally:
        stage.finish(reader)


def check_two_keyboards(stage):
    """The same key held on two keyboards comes up with the last release;
    Caps Lock held on one and tapped with a key of the other is a chord."""
    stage.plug()
    out = "/tmp/keys-two"
    reader = stage.reader(out)
    fifo = "/tmp/typer"
    stage.vm.run(f"rm -f {fifo}; mkfifo {fifo}", check=True)
    typer = stage.vm.spawn(shlex.split(TYPER) + [fifo], env={"PATH": "/usr/bin:/bin"})["proc"]
    poll(lambda: stage.node_of("Kestrune test keyboard"), 20, "the test's uinput keyboard")

    def second(*keys):
        stage.vm.run(f"echo {shlex.quote(' '.join(keys))} > {fifo}", check=True, timeout=10)

    try:
        stage.start({"singlePressConfig": "esc"})
        stage.sync(out)
        second("sync")
        stage.key("a", True)
        stage.sync(out)  # the probe types on the USB keyboard only
        second("+KEY_A")
        stage.key("a", False)
        stage.sync(out)
        expect(stage.keys(out) == ["+KEY_A"], f"A came up while held on the second keyboard: {stage.keys(out)}")
        second("-KEY_A")
        stage.sync(out)
        second("+KEY_CAPSLOCK")
        stage.tap("c")
        second("-KEY_CAPSLOCK")
        stage.sync(out)
        got = stage.keys(out)
        expect(got == ["+KEY_A", "-KEY_A", "+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTSHIFT", "+KEY_LEFTMETA",
                       "+KEY_C", "-KEY_C", "-KEY_LEFTMETA", "-KEY_LEFTSHIFT", "-KEY_LEFTALT", "-KEY_LEFTCTRL"],
               f"two keyboards typed {got}")
    finally:
        stage.finish(reader, typer)


def check_keyboard_choice(stage):
    """Of two identical USB keyboards at two ports, the one the settings
    leave alone is never grabbed: another reader sees its keys as typed and
    Kestrune types nothing of them. The other, chosen by its physical path,
    is remapped."""
    stage.plug(console="con1")
    alone = stage.usb
    theirs, mine = "/tmp/keys-alone", "/tmp/keys-chosen"
    other = stage.reader(theirs, USB_NAME)  # opened while it is the only one
    stage.plug()
    key = stage.keyboard_key(stage.usb, with_phys=True)
    remembered = json.dumps([{"key": key, "name": USB_NAME, "bus": 3, "remap": True}]).encode()
    reader = stage.reader(mine)
    try:
        stage.start({"singlePressConfig": "esc", "remapNewKeyboards": "false",
                     "keyboards": {"data": base64.b64encode(remembered).decode()}})
        stage.sync(mine)
        stage.vm.tap("a", device="con1")
        stage.vm.key("caps_lock", True, device="con1")
        stage.vm.tap("k", device="con1")
        stage.vm.key("caps_lock", False, device="con1")
        poll(lambda: "-KEY_CAPSLOCK" in stage.keys(theirs), 10, "the other reader to see the keyboard left alone")
        stage.key("caps_lock", True)
        stage.tap("k")
        stage.key("caps_lock", False)
        stage.sync(mine)
        expect(stage.keys(mine) == ["+KEY_UP", "-KEY_UP"], f"Kestrune typed {stage.keys(mine)}")
        expect(stage.keys(theirs) == ["+KEY_A", "-KEY_A", "+KEY_CAPSLOCK", "+KEY_K", "-KEY_K", "-KEY_CAPSLOCK"],
               f"the keyboard left alone typed {stage.keys(theirs)}")
    finally:
        stage.finish(reader, other)
        stage.usb = alone
        stage.unplug()


def check_signals(stage):
    """SIGTSTP leaves keys flowing; SIGTERM and SIGKILL with a chord held
    leave nothing pressed and every keyboard free."""
    stage.plug()
    out, theirs = "/tmp/keys-signals", "/tmp/keys-signals-other"
    reader = stage.reader(out)
    other = stage.reader(theirs, USB_NAME)
    try:
        stage.start({"singlePressConfig": "esc"})
        stage.sync(out)
        stage.vm.signal(stage.proc, "TSTP")
        stage.tap("x")
        stage.sync(out)
        expect(stage.keys(out)[-2:] == ["+KEY_X", "-KEY_X"], "keys stopped after SIGTSTP")

        for sig in ("TERM", "KILL"):
            before, seen = len(stage.keys(out)), len(stage.keys(theirs))
            stage.key("caps_lock", True)
            stage.key("c", True)
            poll(lambda: "+KEY_C" in stage.keys(out)[before:], 10, "the chord")
            stage.stop(sig)
            if sig == "TERM":
                # Kestrune lets go of everything itself before it goes.
                held = set()
                for k in stage.keys(out):
                    (held.add if k[0] == "+" else held.discard)(k[1:])
                expect(not held, f"left pressed after SIG{sig}: {sorted(held)}")
            poll(lambda: not stage.node_of(VIRTUAL_NAME), 10, f"the virtual keyboard to go after SIG{sig}")
            # The keyboard is free: its keys reach the other reader.
            stage.key("c", False)
            stage.key("caps_lock", False)
            poll(lambda: "-KEY_CAPSLOCK" in stage.keys(theirs)[seen:], 10,
                 f"the keyboard to be let go after SIG{sig}")
            stage.start({"singlePressConfig": "esc"})
            stage.sync(out)
    finally:
        stage.finish(reader, other)


# -- the input service ------------------------------------------------------

HYPER_C = ["+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTSHIFT", "+KEY_LEFTMETA", "+KEY_C", "-KEY_C",
           "-KEY_LEFTMETA", "-KEY_LEFTSHIFT", "-KEY_LEFTALT", "-KEY_LEFTCTRL"]


def held_after(keys):
    held = set()
    for k in keys:
        (held.add if k[0] == "+" else held.discard)(k[1:])
    return held


def said(inputd):
    return "\n  kestrune-inputd said:\n    " + "\n    ".join(inputd.output().splitlines()[-12:])


def hyper_tap(stage, qcode):
    stage.key("caps_lock", True)
    stage.tap(qcode)
    stage.key("caps_lock", False)


def check_inputd_seat(stage):
    """The seat's user's client configures the service; the service reads
    the keyboards only once its group is granted them; Hyper + H is an arrow,
    Hyper + P (bound) goes up as a launch, Hyper + C (unbound) is typed, and
    letters pass; the conversation carries nothing but effects and the
    bound key; another user's client is refused without disturbing it."""
    stage.plug()
    out, theirs = "/tmp/keys-inputd", "/tmp/keys-inputd-other"
    reader = stage.reader(out)
    other = stage.reader(theirs, USB_NAME)
    inputd = Inputd(stage.vm, stage.build)
    try:
        inputd.start(granted=False)
        inputd.seat("c1", USER)
        sent = [settings_frame(), launcher_keys_frame([KEY_P])]
        mine = inputd.client(USER, sent)
        # Without its ACLs the service can do nothing, and says so.
        inputd.wait_state(mine, FAILING)
        expect(not stage.node_of(VIRTUAL_NAME), "a virtual keyboard without access to /dev/uinput")
        inputd.grant()
        inputd.wait_state(mine, REMAPPING)
        stage.sync(out)

        hyper_tap(stage, "h")
        hyper_tap(stage, "p")
        hyper_tap(stage, "c")
        stage.tap("a")
        stage.tap("s")
        stage.sync(out)
        got = stage.keys(out)
        expect(got == ["+KEY_LEFT", "-KEY_LEFT"] + HYPER_C + ["+KEY_A", "-KEY_A", "+KEY_S", "-KEY_S"],
               f"the virtual keyboard typed {got}")
        expect(stage.keys(theirs) == [], f"the other reader saw {stage.keys(theirs)} through the grab")
        poll(lambda: any(k == LAUNCH for k, _ in inputd.conversation(mine).received()), 10, "the launch")

        # Another user, while ours is in front: refused, and ours goes on.
        intruder = inputd.client(OTHER_USER, [settings_frame()])
        inputd.wait_closed(intruder)
        theirs_said = inputd.conversation(intruder)
        received = decode(theirs_said.up, up=True)
        expect(len(received) == 1 and received[0][0] == STATUS and received[0][1]["state"] == REFUSED
               and received[0][1]["reason"], f"uid {OTHER_USER} was told {received}")
        stage.tap("b")
        stage.sync(out)
        expect(stage.keys(out)[-2:] == ["+KEY_B", "-KEY_B"], "keys stopped after another user's client was refused")

        talk = inputd.conversation(mine)
        expect(not talk.closed, "the seat's user's client was closed")
        expect(decode(talk.down, up=False) == decode(b"".join(sent), up=False),
               "the client's record of what it sent differs from what it was given")
        received = decode(talk.up, up=True)  # every byte up, whole messages only
        kinds = {k for k, _ in received}
        expect(kinds <= {STATUS, HUD, INPUT_MODE, LAUNCH, KEYBOARDS}, f"up came types {sorted(kinds)}")
        listed = [k["name"] for t, m in received if t == KEYBOARDS for k in m["keyboards"]]
        expect(USB_NAME in listed, f"the service listed only {sorted(set(listed))}")
        launches = [m["key_code"] for k, m in received if k == LAUNCH]
        expect(launches == [KEY_P], f"launches went up for {launches}, typed Hyper + P once")
        expect(not any(k == INPUT_MODE for k, _ in received), "an input-mode request without an input method")
        expect(talk.states()[-1] == REMAPPING, f"the last status was {talk.states()}")

        # The user leaves the USB keyboard alone (a newer client of theirs
        # with that choice): the service never grabs it, and its keys reach
        # the other reader as typed.
        left = inputd.client(USER, [keyboard_choices_frame(True, [(stage.keyboard_key(stage.usb), False)]),
                                    settings_frame()])
        inputd.wait_state(left, REMAPPING)
        hyper_tap(stage, "k")
        poll(lambda: "-KEY_CAPSLOCK" in stage.keys(theirs), 10, "the other reader to see the keyboard left alone")
        expect(stage.keys(theirs) == ["+KEY_CAPSLOCK", "+KEY_K", "-KEY_K", "-KEY_CAPSLOCK"],
               f"the keyboard left alone typed {stage.keys(theirs)}")
    except (CheckFailed, VmError) as e:
        raise CheckFailed(f"{e}{said(inputd)}") from e
    finally:
        try:
            inputd.finish()
        finally:
            stage.finish(reader, other)


def check_inputd_switch(stage):
    """A switch at seat0 to another user's session: the old client is
    refused and closed, the chord held across the switch comes up on the
    virtual keyboard, the keyboards are let go at once, and the new user's
    client is then served."""
    stage.plug()
    out, theirs = "/tmp/keys-inputd-switch", "/tmp/keys-inputd-switch-other"
    reader = stage.reader(out)
    other = stage.reader(theirs, USB_NAME)
    inputd = Inputd(stage.vm, stage.build)
    try:
        inputd.start(granted=True)
        inputd.seat("c1", USER)
        mine = inputd.client(USER, [settings_frame()])
        inputd.wait_state(mine, REMAPPING)
        stage.sync(out)

        stage.key("caps_lock", True)
        stage.key("c", True)
        poll(lambda: "+KEY_C" in stage.keys(out), 10, "the chord")
        inputd.seat("c2", OTHER_USER)
        inputd.wait_closed(mine)
        expect(inputd.conversation(mine).states()[-1] == REFUSED,
               f"the old client's last status was {inputd.conversation(mine).states()}")
        poll(lambda: not stage.node_of(VIRTUAL_NAME), 10, "the virtual keyboard to go")
        left = held_after(stage.keys(out))
        expect(not left, f"left pressed across the switch: {sorted(left)}")
        # Let go: the chord's releases, and what is typed now, reach the
        # keyboard's other reader.
        stage.key("c", False)
        stage.key("caps_lock", False)
        stage.tap("z")
        try:
            poll(lambda: "-KEY_Z" in stage.keys(theirs), 20, "the other reader to see Z")
        except VmError as e:
            raise CheckFailed(f"{e}; it saw {stage.keys(theirs)}, the virtual keyboard {stage.lines(out)[-6:]}")
        expect(stage.keys(theirs) == ["-KEY_C", "-KEY_CAPSLOCK", "+KEY_Z", "-KEY_Z"],
               f"the other reader saw {stage.keys(theirs)}")

        # Our user is refused now; the user in front is served.
        late = inputd.client(USER, [settings_frame()])
        inputd.wait_closed(late)
        expect(inputd.conversation(late).states() == [REFUSED], f"uid {USER} late: {inputd.conversation(late).states()}")
        theirs_now = inputd.client(OTHER_USER, [settings_frame()])
        inputd.wait_state(theirs_now, REMAPPING)
        before = len(stage.keys(out))
        stage.sync(out)
        hyper_tap(stage, "h")
        stage.sync(out)
        expect(stage.keys(out)[before:] == ["+KEY_LEFT", "-KEY_LEFT"],
               f"uid {OTHER_USER}'s Hyper + H typed {stage.keys(out)[before:]}")
    except (CheckFailed, VmError) as e:
        raise CheckFailed(f"{e}{said(inputd)}") from e
    finally:
        try:
            inputd.finish()
        finally:
            stage.finish(reader, other)


CHECKS = {
    "leds": check_leds,
    "grab": check_grab,
    "quirks": check_quirks,
    "two_keyboards": check_two_keyboards,
    "keyboard_choice": check_keyboard_choice,
    "signals": check_signals,
    "inputd_seat": check_inputd_seat,
    "inputd_switch": check_inputd_switch,
}


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(REPO, "build", "default"))
    ap.add_argument("--only", nargs="*", default=[])
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--verbose", action="store_true")
    args = ap.parse_args()

    scenarios = sorted(f[:-5] for f in os.listdir(os.path.join(HERE, "scenarios")) if f.endswith(".ksim"))
    names = scenarios + list(CHECKS)
    if args.list:
        print("\n".join(names))
        return 0
    chosen = args.only or names
    unknown = [n for n in chosen if n not in names]
    if unknown:
        print("unknown: " + " ".join(unknown), file=sys.stderr)
        return 2
    if not os.access(os.path.join(args.build, "src", "app", "kestrune"), os.X_OK):
        print(f"no kestrune in {args.build}: build it first", file=sys.stderr)
        return 2

    start = time.monotonic()
    passed = failed = 0
    # Kept after the run: the guest's console and QEMU's log.
    work = os.path.join(REPO, "build", "vm", "run")
    shutil.rmtree(work, ignore_errors=True)
    with Vm(work, verbose=args.verbose, consoles=CONSOLES) as vm:
        print(f"booted in {vm.boot_seconds:.1f} s", flush=True)
        stage = Stage(vm, os.path.abspath(args.build))
        for name in chosen:
            t = time.monotonic()
            try:
                if name in CHECKS:
                    CHECKS[name](stage)
                else:
                    run_scenario(stage, name)
                passed += 1
                print(f"ok   {name} ({time.monotonic() - t:.1f} s)", flush=True)
            except (CheckFailed, VmError, ProtocolError) as e:
                failed += 1
                print(f"FAIL {name} ({time.monotonic() - t:.1f} s): {e}", flush=True)
                try:
                    print("  kestrune said:\n    " + "\n    ".join(stage.output_log().splitlines()[-10:]))
                except VmError:
                    pass
                stage.proc = None
    print(f"real kernel: {time.monotonic() - start:.0f} s")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
