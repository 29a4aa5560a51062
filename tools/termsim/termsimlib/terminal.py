"""One simulated terminal: its UDP socket, its answers to the PC and
everything it records. Runs on the simulator's loop thread; the FTP thread
only touches the FTP records and the stamps, under the simulator's lock."""

import collections
import fnmatch
import os
import re
import time

from . import codec, config, udpio

# Settings files a terminal keeps, and the prefixes of their uploaded names.
SETTINGS_PREFIXES = ("kel_sys", "kel_user", "kel_dial")
_UPLOAD_RE = re.compile(r"^(kel_sys|kel_user|kel_dial)(\d{14})\.(ini|csv)$", re.IGNORECASE)
_SIP_RE = re.compile(rb"^SipAddress=([^\r\n]+)\r?$", re.MULTILINE)


# The generated settings files follow the sample descriptions of the demo
# model, so the program's editor opens them; the templates live with those
# descriptions.
SAMPLE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "samples", "termsim")


def settings_template(name, cfg):
    """A sample settings file for one terminal: {terminal_id} and {address}
    filled in, CR LF line ends (the caller encodes it as CP932)."""
    with open(os.path.join(SAMPLE_DIR, name), "r", encoding="utf-8") as fh:
        text = fh.read()
    text = text.replace("{terminal_id}", cfg["terminal_id"]).replace("{address}", cfg["address"])
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def default_files(cfg):
    tid = cfg["terminal_id"]
    return {
        "kel_sys.ini": settings_template("kel_sys.ini", cfg),
        "kel_user.ini": settings_template("kel_user.ini", cfg),
        "kel_dial.csv": "1,%s,Reception\r\n" % tid,
    }


def datagram_record(n, direction, data, peer, local, t_mono, t_wall, t_kernel=None):
    code, name, fields = codec.decode(data)
    return {
        "n": n,
        "dir": direction,
        "t_mono": t_mono,
        "t_wall": t_wall,
        "t_kernel": t_kernel,
        "peer": "%s:%d" % peer,
        "local": local,
        "size": len(data),
        "code": code,
        "name": name,
        "fields": fields,
        "hex": data.hex(),
    }


class Terminal:
    def __init__(self, sim, index, cfg):
        self.sim = sim
        self.index = index
        self.cfg = cfg
        self.address = cfg["address"]
        self.udp_port = sim.cfg["udp_port"]
        self.ftp_port = None
        self.folder = os.path.join(sim.root, self.address)
        self.sock = None
        self.out_sock = None  # own socket for notices and requests (source_port)
        self.session_open = False
        self.restarts = 0
        self.silent = False  # set by a restart with silent_after_restart
        self.next_seq = cfg["seq_start"]
        self.stamps = list(cfg["stamps"]) if cfg["stamps"] is not None else None
        self._notify_timer = None
        self._answer_index = {"open": 0, "close": 0}
        self.clear()

    # --- records

    def clear(self):
        with self.sim.lock:
            self.received = []
            self.sent = []
            self.requests = []
            self.files_received = []
            self.files_sent = []
            self.ftp_events = []
            self.counts = collections.Counter()

    def count(self, name):
        with self.sim.lock:
            return self.counts[name]

    def count_all(self):
        with self.sim.lock:
            return dict(self.counts, index=self.index)

    def ftp_record(self, kind, entry):
        """Called from the FTP thread."""
        with self.sim.lock:
            entry = dict(entry, t_mono=time.monotonic(), t_wall=time.time())
            if kind == "file_received":
                self.files_received.append(entry)
                self.counts["file" if entry["complete"] else "file_incomplete"] += 1
                if entry["complete"]:
                    self._learn_stamp(entry["name"])
                    self._adopt_sip_address(entry["name"])
            elif kind == "file_sent":
                self.files_sent.append(entry)
                self.counts["file_sent" if entry["complete"] else "file_sent_incomplete"] += 1
            else:
                self.ftp_events.append(dict(entry, event=kind))
                self.counts[kind] += 1
        self.sim.changed()
        self.sim.loop.wake()  # pending waits are checked on the loop thread

    def _learn_stamp(self, name):
        # A settings file arrives under its prefix and the PC's stamp; the
        # terminal reports that stamp in its next TermRequest.
        m = _UPLOAD_RE.match(name)
        if not m:
            return
        slot = SETTINGS_PREFIXES.index(m.group(1).lower())
        if self.stamps is None:
            self.stamps = ["", "", ""]
        self.stamps[slot] = m.group(2)

    def _adopt_sip_address(self, name):
        # A new terminal takes the SIP address of the system settings file it
        # was given as its terminal ID (it reports it from then on).
        if not self.cfg["adopt_sip_address"] or not name.lower().startswith("kel_sys"):
            return
        try:
            with open(os.path.join(self.folder, name), "rb") as fh:
                m = _SIP_RE.search(fh.read())
        except OSError:
            return
        if m:
            self.cfg["terminal_id"] = m.group(1).decode(codec.TEXT_ENCODING, errors="replace")

    def snapshot(self):
        with self.sim.lock:
            return {
                "index": self.index,
                "address": self.address,
                "udp_port": self.udp_port,
                "source_port": self.out_sock.getsockname()[1] if self.out_sock is not None else None,
                "ftp_port": self.ftp_port,
                "folder": self.folder,
                "terminal_id": self.cfg["terminal_id"],
                "machine_name": self.cfg["machine_name"],
                "account": self.account(),
                "config": dict(self.cfg),
                "session_open": self.session_open,
                "restarts": self.restarts,
                "stamps": list(self.stamps) if self.stamps is not None else None,
                "counts": dict(self.counts),
                "received": list(self.received),
                "sent": list(self.sent),
                "requests": [dict(r, answers=list(r["answers"])) for r in self.requests],
                "ftp": {
                    "events": list(self.ftp_events),
                    "files_received": list(self.files_received),
                    "files_sent": list(self.files_sent),
                },
            }

    def account(self):
        acc = config.resolve_account(self.cfg, self.sim.accounts)
        return None if acc is None else {"user": acc[0], "password": acc[1]}

    # --- set-up

    def prepare_folder(self):
        os.makedirs(self.folder, exist_ok=True)
        files = self.cfg["files"] if self.cfg["files"] is not None else default_files(self.cfg)
        for name, content in files.items():
            raw = bytes.fromhex(content["hex"]) if isinstance(content, dict) else content.encode("cp932")
            write_file_atomic(os.path.join(self.folder, name), raw)

    def bind(self):
        self.sock = self._open(self.udp_port)
        if self.cfg["source_port"] is not None:
            self.out_sock = self._open(self.cfg["source_port"])

    def _open(self, port):
        try:
            sock = udpio.open_udp(self.address, port)
        except OSError as err:
            raise OSError(err.errno, "UDP %s:%d: %s" % (self.address, port, err.strerror)) from err
        self.sim.loop.add_reader(sock, lambda: self._on_readable(sock))
        return sock

    def start(self, delay):
        if self.cfg["notify_at_start"]:
            self.sim.loop.call_later(delay, self.send_notify)
        self._schedule_periodic()

    def _schedule_periodic(self):
        if self._notify_timer is not None:
            self._notify_timer.cancel()
            self._notify_timer = None
        interval = self.cfg["notify_interval_s"]
        if interval > 0:
            self._notify_timer = self.sim.loop.call_later(interval, self._periodic)

    def _periodic(self):
        self._notify_timer = None
        self.send_notify()
        self._schedule_periodic()

    def update(self, values):
        """Apply checked key/value changes (control channel)."""
        for key, val in values.items():
            if key in config.BIND_KEYS:
                raise config.ConfigError("%s can't change while running" % key)
        checked = {k: config.check_terminal_value(k, v) for k, v in values.items()}
        with self.sim.lock:
            self.cfg.update(checked)
            if "stamps" in checked:
                self.stamps = list(checked["stamps"]) if checked["stamps"] is not None else None
            if "seq_start" in checked:
                self.next_seq = checked["seq_start"]
            if "open" in checked:
                self._answer_index["open"] = 0
            if "close" in checked:
                self._answer_index["close"] = 0
            if checked.get("silent_after_restart") is False:
                self.silent = False  # a silent terminal is brought back
        if "notify_interval_s" in checked:
            self._schedule_periodic()

    def close(self):
        for sock in (self.sock, self.out_sock):
            if sock is not None:
                self.sim.loop.remove_reader(sock)
                sock.close()
        self.sock = self.out_sock = None

    # --- sending

    def _fields(self):
        c = self.cfg
        return {key: c[key] for key, _, _ in codec.TEXT_FIELDS}

    def send(self, data, dest=None, sock=None):
        """Sends from `sock`; by default notices and requests leave from the
        source_port socket when there is one, else from the UDP port."""
        dest = dest or (self.sim.cfg["pc_address"], self.sim.cfg["udp_port"])
        sock = sock or self.out_sock or self.sock
        t_mono, t_wall = time.monotonic(), time.time()
        error = None
        try:
            sock.sendto(data, dest)
        except OSError as err:
            error = err.strerror or str(err)
        local = "%s:%d" % sock.getsockname()
        rec = datagram_record(self.sim.next_n(), "out", data, dest, local, t_mono, t_wall)
        if error:
            rec["error"] = error
        with self.sim.lock:
            if self.sim.cfg["keep_records"]:
                self.sent.append(rec)
            self.counts["sent:" + rec["name"]] += 1
        self.sim.changed()
        return rec

    def _restart(self):
        """The terminal restarts: it comes back with the versions it was told
        to report (a flash that took, or one that rolled back), or stays
        silent from now on (a flash that left it dead)."""
        with self.sim.lock:
            self.restarts += 1
            for key in ("ver_boot", "ver_apli"):
                if self.cfg["restart_" + key] is not None:
                    self.cfg[key] = self.cfg["restart_" + key]
            if self.cfg["silent_after_restart"]:
                self.silent = True
        after = self.cfg["notify_after_restart_s"]
        if after is not None:
            self.sim.loop.call_later(after, self.send_notify)

    def send_notify(self):
        if self.silent:
            with self.sim.lock:
                self.counts["notify_suppressed"] += 1
            return None
        c = self.cfg
        data = codec.term_notify(self._fields(), c["payload_address"], c["regist"], size=c["notify_size"])
        return self.send(data)

    def send_request(self, seq=None, selection=None, stamps=None, field274=None):
        """Sends a TermRequest and returns its sequence number. stamps
        (three items) or field274 (raw text) replace the live stamps."""
        c = self.cfg
        seq = codec.check_u16(self.next_seq if seq is None else seq, "seq")
        self.next_seq = (seq + 1) & 0xFFFF
        selection = codec.check_u16(c["request_select"] if selection is None else selection, "select")
        fields = self._fields()
        if field274 is not None:
            fields["user_info2"] = field274
        else:
            live = stamps if stamps is not None else self.stamps
            if live is not None:
                fields["user_info2"] = codec.stamp_field(live).decode(codec.TEXT_ENCODING)
        data = codec.term_request(fields, c["payload_address"], c["regist"], seq, selection)
        rec = self.send(data)
        with self.sim.lock:
            self.requests.append(
                {
                    "seq": seq,
                    "selection": selection,
                    "field274": fields["user_info2"],
                    "n": rec["n"],
                    "t_mono": rec["t_mono"],
                    "t_wall": rec["t_wall"],
                    "answers": [],
                }
            )
        return seq

    # --- receiving

    def _on_readable(self, sock):
        port = sock.getsockname()[1]
        for dg in udpio.receive_all(sock):
            rec = datagram_record(
                self.sim.next_n(),
                "in",
                dg.data,
                dg.src,
                "%s:%d" % (dg.dst or self.address, port),
                dg.t_mono,
                dg.t_wall,
                dg.t_kernel,
            )
            with self.sim.lock:
                if self.sim.cfg["keep_records"]:
                    self.received.append(rec)
                self.counts[rec["name"]] += 1
            self._react(rec, dg.src, sock)
        self.sim.changed()

    def _next_answer(self, kind):
        plan = self.cfg[kind]
        if not isinstance(plan, list):
            return plan
        i = min(self._answer_index[kind], len(plan) - 1)
        self._answer_index[kind] += 1
        return plan[i]

    def _later(self, fn, *args):
        delay = self.cfg["reply_delay_ms"] / 1000.0
        if delay > 0:
            self.sim.loop.call_later(delay, fn, *args)
        else:
            fn(*args)

    def _react(self, rec, src, sock):
        """Answers go back to the sender from the socket the request came in on."""
        name = rec["name"]
        if name == "TermInfoReq":
            if self.cfg["notify_on_inforeq"]:
                self._later(self.send_notify)
        elif name == "RemoteOpenReq":
            answer = self._next_answer("open")
            rec["answer"] = answer
            if answer == "ack":
                self.session_open = True
                self._later(self.send, codec.remote_open_ack(), src, sock)
            elif answer.startswith("nak"):
                self._later(self.send, codec.remote_open_nak(int(answer[3:])), src, sock)
        elif name == "RemoteCloseReq":
            answer = self._next_answer("close")
            rec["answer"] = answer
            if answer == "ack":
                self.session_open = False
                if rec["fields"].get("restart") == 1:
                    self._restart()
                self._later(self.send, codec.remote_close_ack(), src, sock)
        elif name in ("TermRequestAccept", "TermRequestResult"):
            seq = rec["fields"].get("seq")
            with self.sim.lock:
                for req in reversed(self.requests):
                    if req["seq"] == seq:
                        req["answers"].append(
                            {
                                "name": name,
                                "seq": seq,
                                "result": rec["fields"].get("result"),
                                "n": rec["n"],
                                "t_mono": rec["t_mono"],
                                "t_wall": rec["t_wall"],
                                "from": rec["peer"],
                            }
                        )
                        self.counts["answer"] += 1
                        break
                else:
                    self.counts["answer_unmatched"] += 1

    # --- FTP side (called from the FTP thread)

    def take_fault(self, kind, name=None, direction=None):
        """The fault to apply to this login or transfer, or None. Counts
        down fault_count when set."""
        with self.sim.lock:
            c = self.cfg
            fault = c["ftp_fault"]
            if fault == "none" or (kind == "login") != (fault == "login"):
                return None
            if kind == "transfer":
                if c["fault_on"] not in ("any", direction):
                    return None
                if not fnmatch.fnmatchcase(name, c["fault_files"]):
                    return None
            if c["fault_count"] is not None:
                if c["fault_count"] <= 0:
                    return None
                c["fault_count"] -= 1
            return {
                "fault": fault,
                "after": c["fault_after"],
                "stall_s": c["stall_s"],
            }


def write_file_atomic(path, data):
    tmp = path + ".termsim-tmp"
    with open(tmp, "wb") as fh:
        fh.write(data)
    os.replace(tmp, path)
