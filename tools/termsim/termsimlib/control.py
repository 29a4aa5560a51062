"""Control channel: one command per line, one answer line per command, on a
local TCP port and on stdin (answers to stdin commands go to stdout).

Answers start with "OK", "ERR" or, for wait, "TIMEOUT". Values of key=value
arguments are JSON when they parse as JSON, else text; quote with '...' to
keep blanks or double quotes. See README.md for the commands."""

import ipaddress
import json
import logging
import os
import shlex
import socket
import sys
import time

from . import config

log = logging.getLogger("termsim")

HELP = (
    "commands: help | status | list | get T | set T k=v... | notify T | "
    "request T [seq=N] [select=N] [stamps=a,b,c] [field274=TEXT] | send T hex=HEX [to=ADDR:PORT] | "
    "received T [name=N] | requests T | files T | wait T NAME [count=N] [timeout=S] | "
    "wait burst [timeout=S] | burst k=v... | clear [T] | report [PATH] | dump | quit "
    "(T: index, address, id:TERMINALID or all)"
)


class CommandError(Exception):
    pass


class Channel:
    """Where answers go: a TCP connection or stdout."""

    def __init__(self, control, sock=None):
        self.control = control
        self.sock = sock
        self.buf = b""
        self.closed = False

    def answer(self, line):
        if self.closed:
            return
        if self.sock is None:
            self.control.sim.say(line)
            return
        try:
            self.sock.sendall((line + "\n").encode("utf-8"))
        except OSError:
            self.close()

    def close(self):
        if self.closed:
            return
        self.closed = True
        if self.sock is not None:
            self.control.sim.loop.remove_reader(self.sock)
            self.sock.close()


class Wait:
    def __init__(self, chan, probe, deadline):
        self.chan = chan
        self.probe = probe
        self.deadline = deadline


class Control:
    def __init__(self, sim):
        self.sim = sim
        self.listener = None
        self.port = None
        self.stdin_chan = None
        self.waits = []

    # --- channels

    def open_tcp(self, port):
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            sock.bind(("127.0.0.1", port))
        except OSError:
            sock.close()
            raise
        sock.listen(8)
        sock.setblocking(False)
        self.listener = sock
        self.port = sock.getsockname()[1]
        self.sim.loop.add_reader(sock, self._accept)

    def open_stdin(self):
        try:
            fd = sys.stdin.fileno()
            os.fstat(fd)
        except (AttributeError, OSError, ValueError):
            return
        self.stdin_chan = Channel(self)
        try:
            self.sim.loop.add_reader(fd, lambda: self._read_stdin(fd))
        except PermissionError:
            # A regular file or /dev/null: can't be polled, read it at once.
            self.sim.loop.call_later(0, self._read_stdin_file, fd)

    def _read_stdin_file(self, fd):
        while True:
            try:
                data = os.read(fd, 65536)
            except OSError:
                data = b""
            if not data:
                break
            self._feed(self.stdin_chan, data)
        if self.sim.cfg["exit_on_eof"]:
            self.sim.stop()

    def close(self):
        if self.listener is not None:
            self.sim.loop.remove_reader(self.listener)
            self.listener.close()
            self.listener = None

    def _accept(self):
        try:
            conn, _ = self.listener.accept()
        except (BlockingIOError, InterruptedError):
            return
        # Reads happen only when select says so; answers are written whole.
        conn.settimeout(30)
        chan = Channel(self, conn)
        self.sim.loop.add_reader(conn, lambda: self._read_conn(chan))

    def _read_conn(self, chan):
        try:
            data = chan.sock.recv(65536)
        except OSError:
            data = b""
        if not data:
            chan.close()
            return
        self._feed(chan, data)

    def _read_stdin(self, fd):
        try:
            data = os.read(fd, 65536)
        except OSError:
            data = b""
        if not data:
            self.sim.loop.remove_reader(fd)
            if self.stdin_chan.buf.strip():
                self._feed(self.stdin_chan, b"\n")
            if self.sim.cfg["exit_on_eof"]:
                self.sim.stop()
            return
        self._feed(self.stdin_chan, data)

    def _feed(self, chan, data):
        chan.buf += data
        while b"\n" in chan.buf:
            line, chan.buf = chan.buf.split(b"\n", 1)
            text = line.decode("utf-8", errors="replace").strip()
            if text:
                self.execute(text, chan)

    # --- commands

    def execute(self, text, chan):
        try:
            tokens = shlex.split(text)
        except ValueError as err:
            chan.answer("ERR %s" % err)
            return
        name, args = tokens[0].lower(), tokens[1:]
        handler = getattr(self, "cmd_" + name, None)
        if handler is None:
            chan.answer("ERR unknown command %r; %s" % (name, HELP))
            return
        try:
            result = handler(args, chan)
        except (CommandError, config.ConfigError, ValueError) as err:
            chan.answer("ERR %s" % err)
            return
        except Exception as err:  # a fault of termsim itself: say so, go on
            log.exception("command %r failed", text)
            chan.answer("ERR internal error: %r" % err)
            return
        if result is _PENDING:
            return
        if result is None:
            chan.answer("OK")
        elif isinstance(result, str):
            chan.answer("OK " + result)
        else:
            chan.answer("OK " + json.dumps(result, ensure_ascii=False, separators=(",", ":")))

    def targets(self, which):
        terms = self.sim.terminals
        if which in ("all", "*"):
            if not terms:
                raise CommandError("no terminals")
            return list(terms)
        if which.startswith("id:"):
            found = [t for t in terms if t.cfg["terminal_id"] == which[3:]]
        elif which.isdigit():
            i = int(which)
            found = [terms[i]] if i < len(terms) else []
        else:
            try:
                addr = str(ipaddress.IPv4Address(which))
            except ValueError as err:
                raise CommandError("bad terminal %r (index, address, id:ID or all)" % which) from err
            found = [t for t in terms if t.address == addr]
        if not found:
            raise CommandError("no terminal %r" % which)
        return found

    @staticmethod
    def _need(args, n, usage):
        if len(args) < n:
            raise CommandError("usage: " + usage)

    def cmd_help(self, args, chan):
        return HELP

    def cmd_status(self, args, chan):
        return self.sim.status()

    def cmd_list(self, args, chan):
        return [
            {
                "index": t.index,
                "address": t.address,
                "terminal_id": t.cfg["terminal_id"],
                "machine_name": t.cfg["machine_name"],
                "udp_port": t.udp_port,
                "ftp_port": t.ftp_port,
                "folder": t.folder,
            }
            for t in self.sim.terminals
        ]

    def cmd_get(self, args, chan):
        self._need(args, 1, "get T")
        return [dict(t.cfg, index=t.index, stamps_live=t.stamps) for t in self.targets(args[0])]

    def cmd_set(self, args, chan):
        self._need(args, 2, "set T key=value...")
        values = config.parse_assignments(args[1:])
        for t in self.targets(args[0]):
            t.update(values)
        return None

    def cmd_notify(self, args, chan):
        self._need(args, 1, "notify T")
        for t in self.targets(args[0]):
            t.send_notify()
        return None

    def cmd_request(self, args, chan):
        self._need(args, 1, "request T [seq=N] [select=N] [stamps=a,b,c] [field274=TEXT]")
        opts = config.parse_assignments(args[1:])
        unknown = set(opts) - {"seq", "select", "stamps", "field274"}
        if unknown:
            raise CommandError("request: unknown option %s" % ", ".join(sorted(unknown)))
        stamps = config.check_terminal_value("stamps", opts["stamps"]) if "stamps" in opts else None
        field = opts.get("field274")
        if field is not None:
            field = config.check_terminal_value("user_info2", str(field))
        seqs = []
        for t in self.targets(args[0]):
            seqs.append(
                {"terminal": t.index, "seq": t.send_request(opts.get("seq"), opts.get("select"), stamps, field)}
            )
        return str(seqs[0]["seq"]) if len(seqs) == 1 else seqs

    def cmd_send(self, args, chan):
        self._need(args, 2, "send T hex=HEX [to=ADDR:PORT]")
        opts = config.parse_assignments(args[1:])
        try:
            data = bytes.fromhex(str(opts.get("hex", "")))
        except ValueError as err:
            raise CommandError("send: bad hex") from err
        dest = None
        if "to" in opts:
            host, _, port = str(opts["to"]).rpartition(":")
            if not host or not port.isdigit():
                raise CommandError("send: to=ADDR:PORT")
            dest = (host, int(port))
        for t in self.targets(args[0]):
            t.send(data, dest)
        return None

    def cmd_received(self, args, chan):
        self._need(args, 1, "received T [name=NAME]")
        opts = config.parse_assignments(args[1:])
        out = []
        for t in self.targets(args[0]):
            for rec in t.snapshot()["received"]:
                if "name" not in opts or rec["name"] == opts["name"]:
                    out.append(dict(rec, terminal=t.index))
        return out

    def cmd_requests(self, args, chan):
        self._need(args, 1, "requests T")
        return [dict(r, terminal=t.index) for t in self.targets(args[0]) for r in t.snapshot()["requests"]]

    def cmd_files(self, args, chan):
        self._need(args, 1, "files T")
        return [dict(f, terminal=t.index) for t in self.targets(args[0]) for f in t.snapshot()["ftp"]["files_received"]]

    def cmd_clear(self, args, chan):
        for t in self.targets(args[0]) if args else self.sim.terminals:
            t.clear()
        if not args:
            self.sim.bursts = []
        return None

    def cmd_report(self, args, chan):
        return self.sim.write_report(args[0] if args else None)

    def cmd_dump(self, args, chan):
        return self.sim.build_report()

    def cmd_burst(self, args, chan):
        params = config.check_burst(config.parse_assignments(args))
        burst = self.sim.start_burst(params)
        return {"port": burst.port, "count": params["count"], "rate": params["rate"]}

    def cmd_quit(self, args, chan):
        chan.answer("OK")
        self.sim.stop()
        return _PENDING

    def cmd_wait(self, args, chan):
        self._need(args, 1, "wait T NAME [count=N] [timeout=S] | wait burst [timeout=S]")
        if args[0] == "burst":
            opts = config.parse_assignments(args[1:])

            def probe():
                b = self.sim.last_burst()
                if b is None:
                    return False, "none"
                if not b.done:
                    return False, "running"
                return True, json.dumps(b.summary(), separators=(",", ":"))

        else:
            self._need(args, 2, "wait T NAME [count=N] [timeout=S]")
            terms = self.targets(args[0])
            name = args[1]
            opts = config.parse_assignments(args[2:])
            want = int(opts.get("count", 1))

            def probe():
                n = sum(t.count(name) for t in terms)
                return n >= want, str(n)

        unknown = set(opts) - {"count", "timeout"}
        if unknown:
            raise CommandError("wait: unknown option %s" % ", ".join(sorted(unknown)))
        timeout = float(opts.get("timeout", 10))
        done, value = probe()
        if done:
            return value
        w = Wait(chan, probe, time.monotonic() + timeout)
        self.waits.append(w)
        self.sim.loop.call_at(w.deadline, lambda: None)  # wakes the loop for the time-out
        return _PENDING

    def abandon_waits(self):
        """At the end every pending wait gets its answer."""
        for w in self.waits:
            if not w.chan.closed:
                w.chan.answer("TIMEOUT " + w.probe()[1])
        self.waits = []

    def check_waits(self):
        if not self.waits:
            return
        now = time.monotonic()
        keep = []
        for w in self.waits:
            if w.chan.closed:
                continue
            done, value = w.probe()
            if done:
                w.chan.answer("OK " + value)
            elif now >= w.deadline:
                w.chan.answer("TIMEOUT " + value)
            else:
                keep.append(w)
        self.waits = keep


_PENDING = object()
