"""The terminals' FTP servers: one pyftpdlib server per terminal on its own
address, all on one IOLoop in one thread, with faults on demand.

Faults (terminal keys ftp_fault, fault_on, fault_after, fault_count,
fault_files, stall_s):
  login  every login is refused with 530
  cut    the data connection is closed after fault_after bytes, 426 follows
  drop   as cut, but the control connection is dropped too, without reply
  stall  the data stops after fault_after bytes; it resumes after stall_s
         seconds, or never (until the client gives up)
fault_after defaults to half the file for a download, and to the first
piece received for an upload.
"""

import collections
import hashlib
import logging
import os
import socket
import threading

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import ActiveDTP, DTPHandler, FTPHandler
from pyftpdlib.ioloop import IOLoop, RetryError
from pyftpdlib.servers import FTPServer

from . import config

log = logging.getLogger("termsim.ftp")
ALL_PERMS = "elradfmwMT"


class TerminalAuthorizer(DummyAuthorizer):
    """Accepts the account of the terminal's model as it is at login time."""

    def __init__(self, terminal):
        DummyAuthorizer.__init__(self)
        self.terminal = terminal

    def validate_authentication(self, username, password, handler):
        t = self.terminal
        reason = None
        if t.take_fault("login") is not None:
            reason = "login refused (fault)"
        else:
            acc = config.resolve_account(t.cfg, t.sim.accounts)
            if acc is None:
                reason = "no account for model %r" % t.cfg["machine_name"]
            elif (username, password) != tuple(acc):
                reason = "wrong user or password"
            elif t.cfg["ftp_requires_session"] and not t.session_open:
                reason = "no maintenance session open"
        if reason:
            handler.termsim_reason = reason
            raise AuthenticationFailed("Authentication failed.")

    def get_home_dir(self, username):
        return os.path.realpath(self.terminal.folder)

    def has_user(self, username):
        return True

    def has_perm(self, username, perm, path=None):
        return perm in ALL_PERMS

    def get_perms(self, username):
        return ALL_PERMS

    def get_msg_login(self, username):
        return "Login successful."

    def get_msg_quit(self, username):
        return "Goodbye."


class _LimitedProducer:
    """Wraps the file producer of a download so that the data breaks off or
    pauses exactly after `limit` bytes."""

    def __init__(self, inner, limit, dtp):
        self.inner = inner
        self.remaining = limit
        self.dtp = dtp
        self.held = b""
        self.reached = False

    def more(self):
        if not self.reached:
            data = self.inner.more()
            if not data:
                return b""  # the file is shorter than the limit: no fault
            if len(data) < self.remaining:
                self.remaining -= len(data)
                return data
            head, self.held = data[: self.remaining], data[self.remaining :]
            self.reached = True
            if head:
                return head
        if self.dtp.fault["fault"] != "stall":
            self.dtp.fault_hit = True
            return b""  # ends the producer; handle_close answers 426
        if not self.dtp.fault_hit:
            self.dtp.begin_stall()
        if self.held:
            data, self.held = self.held, b""
            return data
        return self.inner.more()


class TermDTPHandler(DTPHandler):
    def __init__(self, sock, cmd_channel):
        self.fault = None
        self.fault_hit = False
        self.paused = False
        self.xfer_type = None
        self._limit = None
        self._stored = 0
        self._held = b""
        self._raw = not cmd_channel.terminal.cfg["ascii_convert"]
        DTPHandler.__init__(self, sock, cmd_channel)

    # --- start of a transfer: the command is known now

    def _decide(self, direction):
        self.xfer_type = "A" if self.cmd_channel._current_type == "a" else "I"
        if self.file_obj is None:
            return  # a listing, not a file
        name = os.path.basename(self.file_obj.name)
        self.fault = self.cmd_channel.terminal.take_fault("transfer", name, direction)
        if self.fault is not None:
            self._limit = self.fault["after"]
            log.info("fault %s on %s of %s after %s bytes", self.fault["fault"], direction, name, self._limit)

    def push_with_producer(self, producer):
        self._decide("retr")
        if self._raw and hasattr(producer, "_data_wrapper"):
            producer._data_wrapper = None  # serve the stored bytes as they are
        if self.fault is not None:
            limit = self._limit
            if limit is None:
                limit = os.fstat(self.file_obj.fileno()).st_size // 2
            producer = _LimitedProducer(producer, limit, self)
        DTPHandler.push_with_producer(self, producer)

    def enable_receiving(self, type, cmd):
        self._decide("stor")
        DTPHandler.enable_receiving(self, "i" if self._raw else type, cmd)

    # --- both sides

    def begin_stall(self):
        """Stops moving data (no more reads or writes) until _resume."""
        self.fault_hit = True
        self.paused = True
        self.modify_ioloop_events(0)
        if self.fault["stall_s"] is not None:
            self.call_later(max(self.fault["stall_s"], 0.001), self._resume)

    # --- sending side

    def send(self, data):
        if self.paused:
            return 0
        return DTPHandler.send(self, data)

    def _resume(self):
        if self._closed:
            return
        self.paused = False
        if self.receive:
            held, self._held = self._held, b""
            self._store(held)
            self.modify_ioloop_events(self.ioloop.READ)
        else:
            self.modify_ioloop_events(self.ioloop.WRITE)
            self.initiate_send()

    def handle_close(self):
        if self.fault_hit and not self._closed and self.fault["fault"] in ("cut", "drop"):
            self._break_off()
            return
        DTPHandler.handle_close(self)

    def _break_off(self):
        self.transfer_finished = False
        drop = self.fault["fault"] == "drop"
        self._resp = () if drop else ("426 Connection closed; transfer aborted.", log.debug)
        cmd = self.cmd_channel
        self.close()
        if drop:
            cmd.close()

    # --- receiving side

    def _store(self, chunk):
        if self._data_wrapper is not None:
            chunk = self._data_wrapper(chunk)
        self.file_obj.write(chunk)
        self.file_obj.flush()  # what arrived before a fault is on disk

    def handle_read(self):
        if self.fault is None or self.fault_hit:
            return DTPHandler.handle_read(self)
        try:
            chunk = self.recv(self.ac_in_buffer_size)
        except RetryError:
            return
        except socket.error:
            self.handle_error()
            return
        if not chunk:
            self.transfer_finished = True
            return
        self.tot_bytes_received += len(chunk)
        limit = self._limit if self._limit is not None else self._stored + len(chunk)
        room = limit - self._stored
        if room > len(chunk):
            self._store(chunk)
            self._stored += len(chunk)
            return
        self._store(chunk[:room])
        self._stored += room
        self._held = chunk[room:]
        if self.fault["fault"] == "stall":
            self.begin_stall()
        else:
            self.fault_hit = True
            self._break_off()

    # The loop calls handle_read_event, which the base class binds to its
    # own handle_read.
    handle_read_event = handle_read

    def initiate_send(self):
        if self.paused:
            return
        DTPHandler.initiate_send(self)


class TermActiveDTP(ActiveDTP):
    """The connector of an active (PORT) data connection. Once connected it
    hands its socket to the data handler; pyftpdlib's connector still
    unregisters that descriptor number when the session closes it later, and
    by then the number may belong to another terminal's data connection on
    the shared loop, whose transfer would then stand still. After the hand-over
    the connector has nothing left to close."""

    def handle_connect(self):
        ActiveDTP.handle_connect(self)
        data = self.cmd_channel.data_channel
        if data is not None and data.socket is self.socket:
            self._fileno = None
            self._closed = True


class TermFTPHandler(FTPHandler):
    terminal = None
    dtp_handler = TermDTPHandler
    active_dtp = TermActiveDTP
    use_sendfile = False
    banner = "termsim terminal FTP ready."
    termsim_reason = None
    # File names are bytes to a terminal (Shift-JIS from the PC): keep bytes
    # that are not UTF-8 as they came, so the file lands under those bytes.
    unicode_errors = "surrogateescape"

    def _peer(self):
        return "%s:%s" % (self.remote_ip, self.remote_port)

    def on_login(self, username):
        self.terminal.ftp_record("login", {"user": username, "peer": self._peer()})

    def on_login_failed(self, username, password):
        self.terminal.ftp_record(
            "login_failed",
            {"user": username, "password": password, "peer": self._peer(), "reason": self.termsim_reason},
        )
        self.termsim_reason = None

    def _file(self, kind, path, complete):
        dtp = self.data_channel
        raw = os.fsencode(os.path.relpath(path, os.path.realpath(self.terminal.folder)))
        entry = {
            "name": raw.decode("utf-8", "replace"),
            "name_hex": raw.hex(),
            "complete": complete,
            "type": getattr(dtp, "xfer_type", None),
            "wire_bytes": dtp.get_transmitted_bytes() if dtp is not None else None,
            "fault": dtp.fault["fault"] if dtp is not None and dtp.fault and dtp.fault_hit else None,
            "peer": self._peer(),
        }
        if kind == "file_received":
            try:
                with open(path, "rb") as fh:
                    data = fh.read()
                entry["size"] = len(data)
                entry["sha256"] = hashlib.sha256(data).hexdigest()
            except OSError:
                entry["size"] = None
        self.terminal.ftp_record(kind, entry)

    def on_file_received(self, file):
        self._file("file_received", file, True)

    def on_incomplete_file_received(self, file):
        self._file("file_received", file, False)

    def on_file_sent(self, file):
        self._file("file_sent", file, True)

    def on_incomplete_file_sent(self, file):
        self._file("file_sent", file, False)


class _Waker:
    """Runs callables posted from other threads inside the FTP loop."""

    def __init__(self, ioloop):
        self.ioloop = ioloop
        self.r, self.w = socket.socketpair()
        self.r.setblocking(False)
        self.w.setblocking(False)
        self._fileno = self.r.fileno()
        self.calls = collections.deque()
        ioloop.register(self._fileno, self, ioloop.READ)

    def post(self, fn):
        self.calls.append(fn)
        try:
            self.w.send(b"\0")
        except OSError:
            pass

    def readable(self):
        return True

    def writable(self):
        return False

    def handle_read_event(self):
        try:
            while self.r.recv(4096):
                pass
        except (BlockingIOError, InterruptedError):
            pass
        while self.calls:
            self.calls.popleft()()

    def handle_close(self):
        self.close()

    def handle_error(self):
        log.exception("FTP loop call failed")

    def close(self):
        try:
            self.ioloop.unregister(self._fileno)
        except Exception:
            pass
        self.r.close()
        self.w.close()


class FtpService:
    def __init__(self, sim):
        self.sim = sim
        self.ioloop = IOLoop()
        self.servers = []
        self.thread = None
        self.waker = _Waker(self.ioloop)

    def bind(self, terminal, port):
        attrs = {
            "terminal": terminal,
            "authorizer": TerminalAuthorizer(terminal),
            "auth_failed_timeout": self.sim.cfg["auth_failed_delay_s"],
        }
        handler = type("TermFTPHandler%d" % terminal.index, (TermFTPHandler,), attrs)
        server = FTPServer((terminal.address, port), handler, ioloop=self.ioloop)
        # The limit counts every socket of the shared loop, the listening ones
        # of all terminals included: beyond about 500 terminals every login
        # would be refused with 421.
        server.max_cons = 0
        terminal.ftp_port = server.socket.getsockname()[1]
        self.servers.append(server)

    def start(self):
        self.thread = threading.Thread(target=self._run, name="termsim-ftp", daemon=True)
        self.thread.start()

    def _run(self):
        try:
            self.ioloop.loop()
        except Exception:
            log.exception("FTP loop ended by an error")

    def stop(self):
        if self.thread is None:
            self.ioloop.close()
            return
        self.waker.post(self.ioloop.close)
        self.thread.join(5)
