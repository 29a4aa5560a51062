#!/usr/bin/python3
"""Sends control commands to a running termsim and prints the answers.

  termsim_ctl.py PORT 'set 0 open=nak1' 'request 0 select=1'

Each argument is one command line; the exit status is 1 when an answer is
not OK."""

import socket
import sys


def main(argv):
    if len(argv) < 2 or not argv[0].isdigit():
        print("usage: termsim_ctl.py PORT COMMAND...", file=sys.stderr)
        return 2
    status = 0
    try:
        with socket.create_connection(("127.0.0.1", int(argv[0])), timeout=600) as sock:
            answers = sock.makefile("r", encoding="utf-8")
            for command in argv[1:]:
                sock.sendall((command + "\n").encode("utf-8"))
                line = answers.readline().rstrip("\n")
                print(line)
                if not line.startswith("OK"):
                    status = 1
    except OSError as err:
        print("termsim_ctl: %s" % err, file=sys.stderr)
        return 2
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
