"""Runs the host's own build inside a QEMU VM on a real Linux kernel.

The guest boots the host's newest /boot kernel with a small initramfs
(mkinitramfs.sh) that mounts the host's / read-only over 9p, so the build
folder and the repo are at the same paths in the guest (tmpfs on /tmp, /run,
/var/tmp, /root). guest_agent.py answers on a virtio-serial port; QMP drives
the emulated keyboards. The guest console goes to WORKDIR/console.log.

How QEMU 7.2 routes keys (found while building this harness):
- input-send-event without "device" goes to one keyboard only: the one
  activated last. A hot-plugged usb-kbd takes every key from the AT keyboard
  until it is unplugged; then the AT keyboard gets them again.
- "device" names a display console, not an input device: a usb-kbd's id fails
  with "Device kbd2 (head 0) is not bound to a QemuConsole". To aim keys at one
  usb-kbd, bind it to a console with its "display" property:
  Vm(consoles=N) adds N bochs-display devices con0..conN-1, and
  plug_usb_keyboard(id, console="con0") binds to one. A bound keyboard gets
  only the keys sent with device="con0" and does not take unaddressed keys, so
  the AT keyboard keeps those. The AT keyboard itself cannot be bound.
- Every usb-kbd is named "QEMU QEMU USB Keyboard"; plug_usb_keyboard sets the
  USB serial to the id, which the guest shows as the evdev uniq.
- devtmpfs makes /dev/input/eventN before udev has tagged it: wait for
  ID_INPUT_KEYBOARD rather than for the node.

Under TCG on a 2-core host, -smp 1 boots in 10-13 s and -smp 2 in 15-19 s
(the vCPU threads compete with QEMU's 9p workers), hence smp=1.
"""
import json
import os
import select
import shutil
import socket
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


class VmError(Exception):
    pass


class Result:
    def __init__(self, reply):
        self.rc = reply["rc"]
        self.stdout = reply["stdout"]
        self.stderr = reply["stderr"]
        self.timed_out = reply["timed_out"]

    def __repr__(self):
        return f"Result(rc={self.rc}, stdout={self.stdout!r}, stderr={self.stderr!r})"


def poll(predicate, timeout, what, interval=0.05):
    """Returns predicate()'s first truthy value, or raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise VmError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class _LineSocket:
    def __init__(self, path, timeout):
        deadline = time.monotonic() + timeout
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except (FileNotFoundError, ConnectionRefusedError):
                self.sock.close()
                if time.monotonic() > deadline:
                    raise VmError(f"cannot connect to {path}")
                time.sleep(0.02)
        self.buf = b""

    def send(self, obj):
        self.sock.sendall((json.dumps(obj) + "\n").encode())

    def recv(self, deadline):
        """Next JSON line, or None when the deadline passes first."""
        while b"\n" not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.sock], [], [], left)[0]:
                return None
            chunk = self.sock.recv(65536)
            if not chunk:
                raise VmError("connection closed by QEMU")
            self.buf += chunk
        line, self.buf = self.buf.split(b"\n", 1)
        try:
            return json.loads(line)
        except ValueError:
            return {"garbage": line.decode(errors="replace")}

    def close(self):
        self.sock.close()


class Vm:
    def __init__(self, workdir, memory="1G", smp=1, initramfs_dir=None,
                 boot_timeout=90, consoles=0, verbose=False, extra_args=(),
                 append="", kernel=None):
        self.workdir = os.path.abspath(workdir)
        self.memory = memory
        self.smp = smp
        self.initramfs_dir = initramfs_dir or os.path.join(REPO, "build", "vm")
        self.boot_timeout = boot_timeout
        self.consoles = consoles
        self.verbose = verbose
        self.extra_args = list(extra_args)
        self.append = append
        self.kernel = kernel
        self.console_log = os.path.join(self.workdir, "console.log")
        self.proc = None
        self.boot_seconds = None
        self.events = []
        self._qmp = self._ctl = None
        self._next_id = 1

    def __enter__(self):
        self.boot()
        return self

    def __exit__(self, *exc):
        self.shutdown()

    def _log(self, msg):
        if self.verbose:
            print(f"[vm] {msg}", flush=True)

    # -- boot --------------------------------------------------------------

    def _accel(self):
        if os.access("/dev/kvm", os.R_OK | os.W_OK):
            # A whole machine with the host's CPU: some hosts open /dev/kvm
            # and make a bare VM, then fail to set up a vCPU (QEMU aborts on
            # an MSR it cannot set).
            probe = subprocess.run(["qemu-system-x86_64", "-accel", "kvm", "-machine", "q35", "-cpu", "host",
                                    "-m", "256", "-nodefaults", "-display", "none", "-S", "-qmp", "stdio"],
                                   input=b'{"execute":"qmp_capabilities"}\n{"execute":"quit"}\n',
                                   capture_output=True, timeout=30)
            if probe.returncode == 0:
                return "kvm", "host"
        return "tcg", "max"

    def boot(self):
        start = time.monotonic()
        os.makedirs(self.workdir, exist_ok=True)
        subprocess.run(["bash", os.path.join(HERE, "mkinitramfs.sh"), self.initramfs_dir],
                       check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(self.initramfs_dir, "kernel")) as f:
            kernel = self.kernel or f.read().strip()
        # Unix socket paths are short; the workdir may not be.
        self._sockdir = tempfile.mkdtemp(prefix="kvm-")
        qmp_path = os.path.join(self._sockdir, "qmp")
        ctl_path = os.path.join(self._sockdir, "ctl")
        accel, cpu = self._accel()
        cmdline = " ".join(filter(None, [
            "console=ttyS0 quiet panic=-1 mitigations=off 8250.nr_uarts=1",
            f"kestrune.init={HERE}/guest-init.sh", f"kestrune.keep={REPO}", self.append]))
        args = [
            "qemu-system-x86_64", "-accel", accel, "-cpu", cpu,
            "-machine", "q35", "-m", self.memory, "-smp", str(self.smp),
            "-nodefaults", "-no-user-config", "-display", "none", "-no-reboot",
            "-kernel", kernel, "-initrd", os.path.join(self.initramfs_dir, "initramfs.cpio.gz"),
            "-append", cmdline,
            "-serial", f"file:{self.console_log}",
            # The agent's channel. virtio-serial rather than a second UART:
            # the emulated 16550 moves about 60 KB/s under TCG.
            "-chardev", f"socket,id=ctl,path={ctl_path},server=on,wait=off",
            "-device", "virtio-serial-pci,id=vser",
            "-device", "virtserialport,bus=vser.0,chardev=ctl,name=kestrune.ctl",
            "-qmp", f"unix:{qmp_path},server=on,wait=off",
            "-virtfs", "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap",
            "-device", "qemu-xhci,id=xhci",
        ]
        for i in range(self.consoles):
            args += ["-device", f"bochs-display,id=con{i}"]
        args += self.extra_args
        self._log(" ".join(args))
        self._qemu_log = open(os.path.join(self.workdir, "qemu.log"), "wb")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self._qemu_log,
                                     stderr=subprocess.STDOUT)
        deadline = time.monotonic() + self.boot_timeout
        try:
            self._qmp = _LineSocket(qmp_path, 10)
            greeting = self._qmp.recv(deadline)
            if not greeting or "QMP" not in greeting:
                raise VmError(f"no QMP greeting: {greeting}")
            self.qmp("qmp_capabilities")
            self._ctl = _LineSocket(ctl_path, 10)
            while True:
                msg = self._ctl.recv(min(deadline, time.monotonic() + 1))
                if msg and msg.get("ready"):
                    break
                if self.proc.poll() is not None:
                    raise VmError(f"QEMU exited with {self.proc.returncode}")
                if time.monotonic() > deadline:
                    raise VmError(f"no agent after {self.boot_timeout} s")
        except Exception as e:
            self._kill()
            raise VmError(f"boot failed: {e}\n{self.diagnostics()}") from e
        self.boot_seconds = time.monotonic() - start
        self._log(f"booted in {self.boot_seconds:.1f} s ({accel})")

    def diagnostics(self, lines=40):
        out = []
        for name in ("qemu.log", "console.log"):
            try:
                with open(os.path.join(self.workdir, name), errors="replace") as f:
                    tail = f.read().splitlines()[-lines:]
            except OSError:
                continue
            out.append(f"--- {name} ---\n" + "\n".join(tail))
        return "\n".join(out)

    # -- QMP ---------------------------------------------------------------

    def qmp(self, cmd, **args):
        msg = {"execute": cmd}
        if args:
            msg["arguments"] = args
        self._qmp.send(msg)
        deadline = time.monotonic() + 30
        while True:
            reply = self._qmp.recv(deadline)
            if reply is None:
                raise VmError(f"no QMP reply to {cmd}")
            if "event" in reply:
                self.events.append(reply)
                continue
            if "error" in reply:
                raise VmError(f"QMP {cmd} {args}: {reply['error'].get('desc')}")
            return reply.get("return")

    def wait_event(self, name, timeout=10, **data):
        """Waits for a QMP event whose data contains `data`; consumes it."""
        def matches(ev):
            return ev["event"] == name and all(ev.get("data", {}).get(k) == v
                                               for k, v in data.items())
        deadline = time.monotonic() + timeout
        while True:
            for ev in self.events:
                if matches(ev):
                    self.events.remove(ev)
                    return ev
            msg = self._qmp.recv(deadline)
            if msg is None:
                raise VmError(f"no {name} {data} event within {timeout} s")
            if "event" in msg:
                self.events.append(msg)

    def key(self, qcode, down, device=None):
        args = {"events": [{"type": "key", "data": {
            "down": down, "key": {"type": "qcode", "data": qcode}}}]}
        if device is not None:
            args["device"] = device
        self.qmp("input-send-event", **args)

    def tap(self, qcode, device=None):
        self.key(qcode, True, device)
        self.key(qcode, False, device)

    def plug_usb_keyboard(self, id, console=None):
        """Hot-plugs a usb-kbd whose serial, and so its evdev "uniq", is id.
        With console (e.g. "con0") it gets keys only from key(..., device=console)."""
        args = {"driver": "usb-kbd", "id": id, "bus": "xhci.0", "serial": id}
        if console is not None:
            args["display"] = console
        self.qmp("device_add", **args)

    def unplug(self, id, timeout=15):
        self.qmp("device_del", id=id)
        self.wait_event("DEVICE_DELETED", timeout, device=id)

    # -- agent -------------------------------------------------------------

    def request(self, op, answer_timeout=60, **args):
        req_id = self._next_id
        self._next_id += 1
        self._ctl.send({"id": req_id, "op": op, **args})
        deadline = time.monotonic() + answer_timeout
        while True:
            reply = self._ctl.recv(deadline)
            if reply is None:
                raise VmError(f"agent gave no answer to {op} within {answer_timeout} s\n{self.diagnostics(10)}")
            if reply.get("id") != req_id:
                continue  # a late answer to a request the host gave up on
            if not reply.get("ok"):
                raise VmError(f"agent {op}: {reply.get('error')}\n{reply.get('traceback', '')}")
            return reply

    def run(self, cmd, env=None, cwd=None, stdin=None, timeout=60, check=False):
        res = Result(self.request("run", timeout + 30, cmd=cmd, env=env, cwd=cwd,
                                  stdin=stdin, timeout=timeout))
        if check and (res.rc != 0 or res.timed_out):
            raise VmError(f"guest command {cmd!r} failed: {res}")
        return res

    def spawn(self, cmd, env=None, cwd=None, stdout=None, stderr=None):
        """Starts cmd in the background; returns the agent's reply
        (proc, pid, stdout, stderr); pass reply["proc"] to signal/wait."""
        return self.request("spawn", cmd=cmd, env=env, cwd=cwd, stdout=stdout, stderr=stderr)

    def signal(self, proc, sig="TERM", group=False):
        self.request("signal", proc=proc, sig=sig, group=group)

    def wait(self, proc, timeout=30):
        """The process's exit code, or None if still running after timeout."""
        return self.request("wait", timeout + 30, proc=proc, timeout=timeout)["rc"]

    def read_file(self, path):
        return self.request("read_file", path=path)["content"]

    def write_file(self, path, content, mode=None):
        self.request("write_file", path=path, content=content, mode=mode)

    def wait_until(self, condition, timeout=20):
        """Polls a guest shell condition inside the guest until it holds;
        raises with the condition if it does not within timeout."""
        loop = ('end=$(($(date +%s) + $2)); until eval "$1"; do '
                '[ "$(date +%s)" -lt "$end" ] || exit 124; sleep 0.05; done')
        res = self.run(["/bin/sh", "-c", loop, "sh", condition, str(int(timeout) + 1)],
                       timeout=timeout + 10)
        if res.rc != 0:
            raise VmError(f"guest condition not met within {timeout} s: {condition}\n{res.stderr}")

    def input_devices(self):
        """The guest's /proc/bus/input/devices as dicts of the fields N (name),
        P (phys), S (sysfs), U (uniq), H (handlers), and "event": the
        /dev/input/eventN or None."""
        devices = []
        for block in self.read_file("/proc/bus/input/devices").split("\n\n"):
            fields = {}
            for line in block.splitlines():
                key, _, value = line.partition(": ")
                if key in ("N", "P", "S", "U", "H"):
                    fields[key] = value.partition("=")[2].strip().strip('"')
            if "N" in fields:
                ev = [h for h in fields.get("H", "").split() if h.startswith("event")]
                fields["event"] = f"/dev/input/{ev[0]}" if ev else None
                devices.append(fields)
        return devices

    def input_device(self, name, uniq=None, timeout=20):
        """Waits for an input device of that name (and uniq); its /dev/input/eventN."""
        def find():
            for d in self.input_devices():
                if d["N"] == name and uniq in (None, d.get("U")) and d["event"]:
                    return d["event"]
        return poll(find, timeout, f"input device {name!r} uniq {uniq!r}")

    # -- shutdown ----------------------------------------------------------

    def shutdown(self, timeout=20):
        if self.proc is None:
            return
        try:
            if self._ctl is not None and self.proc.poll() is None:
                self.request("quit", 5)
            self.proc.wait(timeout=timeout)
        except Exception:
            try:
                self.qmp("quit")
                self.proc.wait(timeout=5)
            except Exception:
                pass
        self._kill()

    def _kill(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for s in (self._qmp, self._ctl):
            if s is not None:
                s.close()
        self._qmp = self._ctl = None
        if getattr(self, "_sockdir", None):
            shutil.rmtree(self._sockdir, ignore_errors=True)
            self._sockdir = None
        if getattr(self, "_qemu_log", None):
            self._qemu_log.close()
