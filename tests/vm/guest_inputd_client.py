#!/usr/bin/python3
"""Guest side: a client of kestrune-inputd. It sends the frames it is given,
then records the conversation to stdout as it goes, one chunk a line, until
the service closes the connection:

  > HEX      bytes sent
  # send failed  the service hung up before a frame could be sent
  < HEX      bytes received
  # closed   the service closed the connection

  guest_inputd_client.py SOCKET [FRAME_HEX ...]

It knows nothing of the protocol: the host builds the frames and decodes the
record (inputd_checks.py), so that nothing of the service's own code takes
part in reading what it said.
"""
import os
import socket
import sys


def main():
    path, frames = sys.argv[1], [bytes.fromhex(f) for f in sys.argv[2:]]
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect(path)
    print("# connected as uid %d" % os.getuid(), flush=True)
    for frame in frames:
        try:
            sock.sendall(frame)
        except (BrokenPipeError, ConnectionResetError):
            # Refused at once: what the service said before it hung up is
            # still there to read.
            print("# send failed", flush=True)
            break
        print("> " + frame.hex(), flush=True)
    while True:
        try:
            data = sock.recv(65536)
        except ConnectionResetError:
            data = b""
        if not data:
            print("# closed", flush=True)
            return 0
        print("< " + data.hex(), flush=True)


if __name__ == "__main__":
    sys.exit(main())
