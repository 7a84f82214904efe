"""The input service, kestrune-inputd, in the test VM (its checks are in
run.py): run as a system user of its own whose only access is its group's
ACLs on the keyboards and /dev/uinput, told who is at seat0 by
python-dbusmock's logind on a private bus that the service takes for the
system bus, with clients of two users speaking its protocol from
guest_inputd_client.py.

The frames are built and read here from the protocol's layout alone, not
with the service's code: a fault shared by the service's encoder and
decoder shows here as a conversation that does not decode.
"""
import os
import struct

from vm import VmError, poll

HERE = os.path.dirname(os.path.abspath(__file__))

# The service's system user (given an account in the guest) and the seat's
# users (uids only: nothing they run looks their names up).
SERVICE_UID = 990
USER, OTHER_USER = 1000, 1001

RUN = "/run/kestrune-test"
SOCKET = f"{RUN}/inputd.sock"
BUS_DIR = "/tmp/inputd-bus"
BUS = f"unix:path={BUS_DIR}/system_bus_socket"
LOGIND = "org.freedesktop.login1"

# A bus on which any user may connect, own a name and call anyone: the
# mock's own methods are called as root, logind's properties are read by
# the service's user.
BUS_CONFIG = f"""<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={BUS_DIR}/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""

# -- the protocol -----------------------------------------------------------

VERSION = 1
SETTINGS, LAUNCHER_KEYS, EXCLUDED, KEYBOARD_CHOICES = 1, 2, 3, 4
STATUS, HUD, INPUT_MODE, LAUNCH, KEYBOARDS = 64, 65, 66, 67, 68
REMAPPING, PAUSED, WAITING, FAILING, REFUSED = range(5)
HEADER = struct.Struct("<IHH")
MAX_PAYLOAD = 4096
KEY_P = 35  # macOS's virtual key code of P, as launcher keys travel


class ProtocolError(Exception):
    pass


def frame(kind, payload):
    return HEADER.pack(len(payload), VERSION, kind) + payload


def settings_frame(single_press_config=1):
    """Every feature on; a lone Caps Lock is Esc (1); no input method."""
    flags = [1, 1, 1, 1, 1, 1, 0]  # enabled, hyper, single press, Cmd Eisu/Kana, double tap, vim, input method
    configs = [0, single_press_config, 0, 0]  # hyper, single press, Cmd Eisu/Kana, vim
    return frame(SETTINGS, bytes(flags + configs))


def launcher_keys_frame(codes):
    return frame(LAUNCHER_KEYS, struct.pack(f"<H{len(codes)}H", len(codes), *codes))


def keyboard_choices_frame(remap_new, choices):
    """Which keyboards to remap: (key, remap) pairs, as the application sends them."""
    payload = bytes([int(remap_new)]) + struct.pack("<H", len(choices))
    for key, remap in choices:
        k = key.encode()
        payload += bytes([int(remap)]) + struct.pack("<H", len(k)) + k
    return frame(KEYBOARD_CHOICES, payload)


def decode(stream, up):
    """Every message of one direction of a conversation, as (type, fields);
    raises ProtocolError at the first byte that is not a whole, well-formed
    message of that direction."""
    messages = []
    at = 0
    while at < len(stream):
        if len(stream) - at < HEADER.size:
            raise ProtocolError(f"a cut header at byte {at}: {stream[at:].hex()}")
        size, version, kind = HEADER.unpack_from(stream, at)
        if version != VERSION or size > MAX_PAYLOAD:
            raise ProtocolError(f"a header of version {version}, size {size} at byte {at}")
        payload = stream[at + HEADER.size:at + HEADER.size + size]
        if len(payload) != size:
            raise ProtocolError(f"a cut payload of type {kind} at byte {at}")
        messages.append(decode_payload(kind, payload, up))
        at += HEADER.size + size
    return messages


def decode_payload(kind, p, up):
    def exact(n):
        if len(p) != n:
            raise ProtocolError(f"type {kind} with {len(p)} bytes: {p.hex()}")
    if up and kind == STATUS:
        if len(p) < 3:
            raise ProtocolError(f"a status of {len(p)} bytes")
        state, length = p[0], struct.unpack_from("<H", p, 1)[0]
        exact(3 + length)
        if state > REFUSED:
            raise ProtocolError(f"a status of state {state}")
        return (STATUS, {"state": state, "reason": p[3:].decode("utf-8")})
    if up and kind == HUD:
        exact(6)
        action, delay, value = struct.unpack("<BIB", p)
        if action > 3 or value >= (2 if action == 3 else 11):
            raise ProtocolError(f"a HUD message {p.hex()}")
        return (HUD, {"action": action, "delay_ms": delay, "value": value})
    if up and kind == INPUT_MODE:
        exact(1)
        if p[0] > 1:
            raise ProtocolError(f"input mode {p[0]}")
        return (INPUT_MODE, {"mode": p[0]})
    if up and kind == LAUNCH:
        exact(2)
        return (LAUNCH, {"key_code": struct.unpack("<H", p)[0]})
    if up and kind == KEYBOARDS:
        keyboards, at = [], 1
        if not p or p[0] > 16:
            raise ProtocolError(f"a keyboard list {p.hex()}")

        def text():
            nonlocal at
            if len(p) < at + 2:
                raise ProtocolError(f"a keyboard list cut short: {p.hex()}")
            length = struct.unpack_from("<H", p, at)[0]
            value = p[at + 2:at + 2 + length]
            if len(value) != length or length > 96:
                raise ProtocolError(f"a keyboard's text of {length} bytes: {p.hex()}")
            at += 2 + length
            return value.decode("utf-8")
        for _ in range(p[0]):
            if len(p) < at + 7:
                raise ProtocolError(f"a keyboard list cut short: {p.hex()}")
            bus, vendor, product, flags = struct.unpack_from("<HHHB", p, at)
            at += 7
            if flags > 7:
                raise ProtocolError(f"keyboard flags {flags}")
            keyboards.append({"bus": bus, "vendor": vendor, "product": product, "flags": flags,
                              "name": text(), "phys": text()})
        exact(at)
        return (KEYBOARDS, {"keyboards": keyboards})
    if not up and kind == SETTINGS:
        exact(11)
        return (SETTINGS, {"bytes": p.hex()})
    if not up and kind == LAUNCHER_KEYS:
        if len(p) < 2:
            raise ProtocolError("launcher keys without a count")
        count = struct.unpack_from("<H", p)[0]
        exact(2 + 2 * count)
        return (LAUNCHER_KEYS, {"key_codes": list(struct.unpack_from(f"<{count}H", p, 2))})
    if not up and kind == KEYBOARD_CHOICES:
        if len(p) < 3 or p[0] > 1:
            raise ProtocolError(f"keyboard choices {p.hex()}")
        count, at, choices = struct.unpack_from("<H", p, 1)[0], 3, []
        for _ in range(count):
            if len(p) < at + 3 or p[at] > 1:
                raise ProtocolError(f"keyboard choices {p.hex()}")
            length = struct.unpack_from("<H", p, at + 1)[0]
            key = p[at + 3:at + 3 + length]
            if not 0 < len(key) == length <= 200:
                raise ProtocolError(f"a keyboard key of {length} bytes: {p.hex()}")
            choices.append((key.decode("utf-8"), bool(p[at])))
            at += 3 + length
        exact(at)
        return (KEYBOARD_CHOICES, {"remap_new": bool(p[0]), "choices": choices})
    if not up and kind == EXCLUDED:
        exact(1)
        return (EXCLUDED, {"excluded": p[0]})
    raise ProtocolError(f"a message of type {kind} going {'up' if up else 'down'}")


class Conversation:
    """What one client recorded (guest_inputd_client.py's lines)."""

    def __init__(self, text):
        self.down, self.up = b"", b""
        self.closed = self.send_failed = False
        for line in text.splitlines():
            if line.startswith("> "):
                self.down += bytes.fromhex(line[2:])
            elif line.startswith("< "):
                self.up += bytes.fromhex(line[2:])
            elif line == "# closed":
                self.closed = True
            elif line == "# send failed":
                self.send_failed = True

    def received(self):
        """The whole messages received so far (a frame still in flight is
        left for later)."""
        at = 0
        while len(self.up) - at >= HEADER.size:
            size = HEADER.unpack_from(self.up, at)[0]
            if len(self.up) - at < HEADER.size + size:
                break
            at += HEADER.size + size
        return decode(self.up[:at], up=True)

    def states(self):
        return [m["state"] for kind, m in self.received() if kind == STATUS]


# -- the guest's side ---------------------------------------------------------

class Inputd:
    """The bus, the mock logind, the service and its clients in the guest."""

    def __init__(self, vm, build):
        self.vm = vm
        self.binary = os.path.join(build, "src", "inputd", "kestrune-inputd")
        self.client_script = os.path.join(HERE, "guest_inputd_client.py")
        self.procs = []
        self.service = None
        self.clients = 0
        self.log = f"{RUN}-log/inputd.out"
        self.env = {"DBUS_SYSTEM_BUS_ADDRESS": BUS, "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}

    def start(self, granted):
        """The bus and logind with nobody at seat0, then the service; with
        `granted`, its group may already use the keyboards and /dev/uinput."""
        vm = self.vm
        r = vm.run(f"test -x {self.binary}")
        if r.rc != 0:
            raise VmError(f"no {self.binary}: build the kestrune-inputd target")
        self.account()
        vm.run(f"rm -rf {BUS_DIR} {RUN} {RUN}-log && mkdir -p {BUS_DIR} {RUN}-log && "
               f"install -d -o {SERVICE_UID} -g {SERVICE_UID} -m 755 {RUN}", check=True)
        vm.write_file(f"{BUS_DIR}/bus.conf", BUS_CONFIG)
        self.procs.append(vm.spawn(["dbus-daemon", f"--config-file={BUS_DIR}/bus.conf", "--nofork", "--nopidfile"],
                                   env=self.env)["proc"])
        vm.wait_until(f"test -S {BUS_DIR}/system_bus_socket")
        self.procs.append(vm.spawn(["/usr/bin/python3", "-m", "dbusmock", "--template", "logind", "--system"],
                                   env=self.env, stdout=f"{RUN}-log/logind.out",
                                   stderr=f"{RUN}-log/logind.out")["proc"])
        vm.wait_until(f"dbus-send --bus={BUS} --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                      f"org.freedesktop.DBus.NameHasOwner string:{LOGIND} | grep -q 'boolean true'", timeout=60)
        vm.run(["dbus-send", f"--bus={BUS}", "--print-reply", f"--dest={LOGIND}", "/org/freedesktop/login1",
                "org.freedesktop.DBus.Mock.AddSeat", "string:seat0"], check=True)
        if granted:
            self.grant()
        # Its own uid and gid, no other group, no capability.
        cmd = ["setpriv", f"--reuid={SERVICE_UID}", f"--regid={SERVICE_UID}", "--clear-groups",
               "--inh-caps=-all", "--no-new-privs", self.binary, "--socket", SOCKET]
        started = vm.spawn(cmd, env=dict(self.env, HOME="/nonexistent"), stdout=self.log, stderr=self.log)
        self.service = started["proc"]
        self.procs.append(self.service)
        self.pid = started["pid"]
        vm.wait_until(f"test -S {SOCKET}", timeout=60)
        status = vm.read_file(f"/proc/{self.pid}/status")
        fields = dict(line.split(":", 1) for line in status.splitlines() if ":" in line)
        ids = {k: fields[k].split() for k in ("Uid", "Gid", "Groups", "CapEff", "CapPrm")}
        want = {"Uid": [str(SERVICE_UID)] * 4, "Gid": [str(SERVICE_UID)] * 4, "Groups": [],
                "CapEff": ["0000000000000000"], "CapPrm": ["0000000000000000"]}
        if ids != want:
            raise VmError(f"the service runs with {ids}")

    def account(self):
        """The service's system user, as the package makes it: dbus-daemon
        hangs up on a uid that has no account. The guest's /etc is the
        host's, read-only, so the account is added over a copy."""
        self.vm.run(
            f"getent passwd {SERVICE_UID} >/dev/null && exit; mkdir -p /tmp/accounts && "
            f"cp /etc/passwd /etc/group /tmp/accounts/ && "
            f"echo 'kestrune-inputd:x:{SERVICE_UID}:{SERVICE_UID}::/nonexistent:/usr/sbin/nologin' "
            f">> /tmp/accounts/passwd && echo 'kestrune-inputd:x:{SERVICE_UID}:' >> /tmp/accounts/group && "
            f"mount --bind /tmp/accounts/passwd /etc/passwd && mount --bind /tmp/accounts/group /etc/group",
            check=True)

    def grant(self):
        """Its group, and only its group, may read and write the keyboards
        and make the virtual keyboard (as the package's udev rule grants)."""
        self.vm.run(f"setfacl -m g:{SERVICE_UID}:rw /dev/uinput /dev/input/event*", check=True)

    def revoke(self):
        self.vm.run(f"setfacl -x g:{SERVICE_UID} /dev/uinput /dev/input/event* 2>/dev/null")

    def output(self):
        try:
            return self.vm.read_file(self.log)
        except VmError:
            return ""

    def seat(self, session, uid):
        """A local session of `uid` comes to the front of seat0 (the mock
        sets ActiveSession and signals it); returns once the service has
        read it."""
        self.vm.run(["dbus-send", f"--bus={BUS}", "--print-reply", f"--dest={LOGIND}", "/org/freedesktop/login1",
                     "org.freedesktop.DBus.Mock.AddSession", f"string:{session}", "string:seat0",
                     f"uint32:{uid}", f"string:user{uid}", "boolean:true"], check=True)
        line = f"seat0's session {session} of uid {uid} is in front"
        poll(lambda: line in self.output(), 30, f"the service to see {session} of uid {uid} at seat0", interval=0.2)

    def client(self, uid, frames=()):
        """A client of that uid (and no other group) sending `frames`;
        its record's path."""
        self.clients += 1
        out = f"{RUN}-log/client{self.clients}-{uid}.out"
        cmd = ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups", "/usr/bin/python3",
               self.client_script, SOCKET] + [f.hex() for f in frames]
        started = self.vm.spawn(cmd, env={"PATH": "/usr/bin:/bin"}, stdout=out, stderr=f"{out}.err")
        self.procs.append(started["proc"])
        return out

    def conversation(self, client):
        return Conversation(self.vm.read_file(client))

    def wait_state(self, client, state, timeout=30):
        poll(lambda: state in self.conversation(client).states(), timeout,
             f"status {state} for {client}", interval=0.2)

    def wait_closed(self, client, timeout=30):
        poll(lambda: self.conversation(client).closed, timeout, f"the service to close {client}", interval=0.2)

    def finish(self):
        """Stops the service first (it lets go of everything), then the rest."""
        if self.service is not None:
            self.vm.signal(self.service, "TERM")
            rc = self.vm.wait(self.service, timeout=30)
            self.service = None
            if rc is None:
                raise VmError("kestrune-inputd did not quit on SIGTERM")
        for p in reversed(self.procs):
            self.vm.signal(p, "KILL")
        self.procs = []
        self.revoke()
