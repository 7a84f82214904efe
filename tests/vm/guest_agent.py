#!/usr/bin/python3
"""Guest side of the test VM's control channel.

Reads one JSON request per line from a virtio-serial port (or a serial
port) and answers each with one
JSON line carrying the same "id". A request that fails answers
{"ok": false, "error": ...}; nothing a request does may end the agent except
"quit". See vm.py for the host side.
"""
import base64
import json
import os
import signal
import subprocess
import sys
import termios
import traceback
import tty

LOG_DIR = "/tmp/agent"


def open_channel(path):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    if not os.isatty(fd):
        return fd  # virtio-serial: a plain byte pipe
    # A serial port: raw, or the line discipline echoes requests back and
    # mangles newlines.
    tty.setraw(fd)
    attrs = termios.tcgetattr(fd)
    # No modem lines, no flow control, no hang-up: QEMU's socket has none.
    attrs[2] = (attrs[2] | termios.CLOCAL | termios.CREAD) & ~(termios.CRTSCTS | termios.HUPCL)
    attrs[0] &= ~(termios.IXON | termios.IXOFF | termios.IXANY)
    attrs[4] = attrs[5] = termios.B115200
    termios.tcsetattr(fd, termios.TCSANOW, attrs)
    termios.tcflush(fd, termios.TCIOFLUSH)
    return fd


class Agent:
    def __init__(self, fd):
        self.fd = fd
        self.procs = {}
        self.next_id = 1
        os.makedirs(LOG_DIR, exist_ok=True)

    def send(self, obj):
        data = (json.dumps(obj) + "\n").encode()
        while data:
            data = data[os.write(self.fd, data):]

    def lines(self):
        buf = b""
        while True:
            chunk = os.read(self.fd, 65536)
            if not chunk:
                return
            buf += chunk
            while b"\n" in buf:
                line, buf = buf.split(b"\n", 1)
                if line.strip():
                    yield line

    def serve(self):
        self.send({"ready": True, "pid": os.getpid()})
        for line in self.lines():
            req_id = None
            try:
                req = json.loads(line)
                req_id = req.get("id")
                op = req.pop("op")
                handler = getattr(self, "op_" + op, None)
                if handler is None:
                    raise ValueError(f"unknown op {op!r}")
                req.pop("id", None)
                reply = handler(**req)
                reply.update(id=req_id, ok=True)
            except Exception as e:  # the agent must outlive any bad request
                reply = {"id": req_id, "ok": False,
                         "error": f"{type(e).__name__}: {e}",
                         "traceback": traceback.format_exc()}
            self.send(reply)
            if reply.get("quit"):
                return

    @staticmethod
    def _popen_args(cmd, env, cwd):
        full_env = dict(os.environ)
        full_env.update(env or {})
        return dict(args=cmd, shell=isinstance(cmd, str), env=full_env, cwd=cwd,
                    start_new_session=True)

    def op_run(self, cmd, env=None, cwd=None, stdin=None, timeout=60):
        p = subprocess.Popen(stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, **self._popen_args(cmd, env, cwd))
        timed_out = False
        try:
            out, err = p.communicate((stdin or "").encode(), timeout=timeout)
        except subprocess.TimeoutExpired:
            timed_out = True
            os.killpg(p.pid, signal.SIGKILL)
            out, err = p.communicate()
        return {"rc": p.returncode, "timed_out": timed_out,
                "stdout": out.decode(errors="replace"),
                "stderr": err.decode(errors="replace")}

    def op_spawn(self, cmd, env=None, cwd=None, stdout=None, stderr=None):
        pid_id = self.next_id
        self.next_id += 1
        stdout = stdout or f"{LOG_DIR}/{pid_id}.out"
        stderr = stderr or f"{LOG_DIR}/{pid_id}.err"
        with open(stdout, "wb") as out, open(stderr, "wb") as err:
            p = subprocess.Popen(stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                 **self._popen_args(cmd, env, cwd))
        self.procs[pid_id] = p
        return {"proc": pid_id, "pid": p.pid, "stdout": stdout, "stderr": stderr}

    def op_signal(self, proc, sig="TERM", group=False):
        p = self.procs[proc]
        num = sig if isinstance(sig, int) else getattr(signal, "SIG" + sig.upper().removeprefix("SIG"))
        if p.poll() is None:
            (os.killpg if group else os.kill)(p.pid, num)
        return {"rc": p.returncode}

    def op_wait(self, proc, timeout=30):
        p = self.procs[proc]
        try:
            rc = p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return {"rc": None, "running": True}
        return {"rc": rc, "running": False}

    def op_read_file(self, path, binary=False):
        with open(path, "rb") as f:
            data = f.read()
        if binary:
            return {"data": base64.b64encode(data).decode()}
        return {"content": data.decode(errors="replace")}

    def op_write_file(self, path, content=None, data=None, mode=None):
        raw = base64.b64decode(data) if data is not None else (content or "").encode()
        with open(path, "wb") as f:
            f.write(raw)
        if mode is not None:
            os.chmod(path, mode)
        return {"size": len(raw)}

    def op_quit(self):
        for p in self.procs.values():
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        return {"quit": True}


def main():
    Agent(open_channel(sys.argv[1])).serve()


if __name__ == "__main__":
    main()
