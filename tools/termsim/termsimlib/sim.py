"""The simulator: terminals, their FTP servers, the control channel, bursts
and the JSON report."""

import itertools
import json
import os
import signal
import sys
import tempfile
import threading
import time

from . import FORMAT_VERSION, udpio
from .burst import Burst
from .control import Control
from .evloop import EventLoop
from .terminal import Terminal


class StartError(Exception):
    pass


class Simulator:
    def __init__(self, cfg, out=None):
        self.cfg = cfg
        self.out = out or sys.stdout
        self.lock = threading.RLock()
        self._n = itertools.count(1)
        self.accounts = cfg["accounts"]
        self.root = os.path.abspath(cfg["root"]) if cfg["root"] else tempfile.mkdtemp(prefix="termsim-")
        self.report_path = os.path.abspath(cfg["report"] or os.path.join(self.root, "termsim-report.json"))
        self.loop = EventLoop()
        self.terminals = [Terminal(self, i, t) for i, t in enumerate(cfg["terminals"])]
        self.ftp = None
        self.control = Control(self)
        self.bursts = []
        self.burst = None
        self._first_burst = None
        self._dirty = False
        self._closed = False
        self.kernel_stamps = False
        self.started_wall = time.time()
        self.started_mono = time.monotonic()
        self.loop.after_each(self.control.check_waits)

    # --- small services for the parts

    def next_n(self):
        return next(self._n)

    def changed(self):
        self._dirty = True

    def say(self, line):
        try:
            self.out.write(line + "\n")
            self.out.flush()
        except (BrokenPipeError, ValueError, OSError):
            pass  # nobody reads stdout any more; the report still gets written

    # --- life cycle

    def setup(self):
        """Binds every socket; StartError with a clear text when one can't
        (and nothing stays bound)."""
        try:
            self._setup()
        except StartError:
            for t in self.terminals:
                t.close()
            if self._first_burst is not None:
                self._first_burst.close()
            if self.ftp is not None:
                self.ftp.stop()
            self.control.close()
            self.loop.close()
            udpio.CLOCK.close()
            self._closed = True
            raise

    def _setup(self):
        self.kernel_stamps = udpio.CLOCK.start()
        try:
            os.makedirs(self.root, exist_ok=True)
            for t in self.terminals:
                t.prepare_folder()
        except OSError as err:
            raise StartError("terminal folders under %s: %s" % (self.root, err)) from err
        for t in self.terminals:
            try:
                t.bind()
            except OSError as err:
                raise StartError(err.strerror or str(err)) from err
        ftp_terms = [t for t in self.terminals if t.cfg["ftp"]]
        if ftp_terms:
            from .ftpserve import FtpService  # pyftpdlib only when FTP is used

            self.ftp = FtpService(self)
            for t in ftp_terms:
                try:
                    self.ftp.bind(t, self.cfg["ftp_port"])
                except OSError as err:
                    hint = " (ports below 1024 need root; see --ftp-port)" if self.cfg["ftp_port"] < 1024 else ""
                    reason = err.strerror or str(err)
                    raise StartError("FTP %s:%d: %s%s" % (t.address, self.cfg["ftp_port"], reason, hint)) from err
        if self.cfg["burst"] is not None:
            self._first_burst = self.make_burst(self.cfg["burst"])
        if self.cfg["control_port"] >= 0:
            try:
                self.control.open_tcp(self.cfg["control_port"])
            except OSError as err:
                raise StartError("control port %d: %s" % (self.cfg["control_port"], err.strerror or err)) from err
        self.control.open_stdin()
        self.loop.hook_signals(
            {
                signal.SIGUSR1: self._report_on_signal,
                signal.SIGTERM: self.stop,
                signal.SIGINT: self.stop,
            }
        )
        if self.cfg["report_interval_s"] > 0:
            self.loop.call_later(self.cfg["report_interval_s"], self._periodic_report)

    def run(self):
        """Runs until stopped; the exit status: 0, or 1 when the final
        report could not be written."""
        if self.ftp is not None:
            self.ftp.start()
        self.say(
            "READY "
            + json.dumps(
                {
                    "terminals": len(self.terminals),
                    "control_port": self.control.port,
                    "root": self.root,
                    "report": self.report_path,
                    "pid": os.getpid(),
                },
                separators=(",", ":"),
            )
        )
        stagger = self.cfg["notify_stagger_ms"] / 1000.0
        for t in self.terminals:
            t.start(t.index * stagger)
        if self._first_burst is not None:
            self._begin_burst(self._first_burst)
        try:
            self.loop.run()
        finally:
            ok = self.shutdown()
        return 0 if ok else 1

    def stop(self):
        self.loop.stop()

    def shutdown(self):
        if self._closed:
            return
        self._closed = True
        if self.burst is not None and not self.burst.done:
            self.burst.cancel()
        if self.ftp is not None:
            self.ftp.stop()
        self.control.check_waits()
        self.control.abandon_waits()
        try:
            path = self.write_report()
        except ValueError as err:
            print("termsim: %s" % err, file=sys.stderr)
            path = None
        for t in self.terminals:
            t.close()
        self.control.close()
        self.loop.close()
        udpio.CLOCK.close()
        self.say("BYE " + json.dumps({"report": path}))
        return path is not None

    # --- bursts

    def make_burst(self, params):
        try:
            return Burst(self, params)
        except OSError as err:
            raise StartError("burst socket %s:%d: %s" % (params["bind"], params["port"], err.strerror or err)) from err

    def _begin_burst(self, burst):
        self.burst = burst
        self.bursts.append(burst)
        burst.start()

    def start_burst(self, params):
        """A burst asked for while running (control channel)."""
        if self.burst is not None and not self.burst.done:
            raise ValueError("a burst is running")
        try:
            burst = self.make_burst(params)
        except StartError as err:
            raise ValueError(str(err)) from err
        self._begin_burst(burst)
        return burst

    def last_burst(self):
        return self.bursts[-1] if self.bursts else None

    def burst_finished(self, burst):
        summary = burst.summary()
        short = {k: summary[k] for k in ("sent", "acks", "acks_ok", "missing", "ack_gap_min_ms")}
        self.say("EVENT burst-done " + json.dumps(short))
        self.changed()
        self.write_report()
        if self.cfg["exit_after_burst"]:
            self.stop()

    # --- report

    def status(self):
        return {
            "terminals": len(self.terminals),
            "root": self.root,
            "report": self.report_path,
            "control_port": self.control.port,
            "uptime_s": time.monotonic() - self.started_mono,
            "counts": [t.count_all() for t in self.terminals],
            "burst": None
            if self.burst is None
            else {"done": self.burst.done, "sent": self.burst.sent, "acks": len(self.burst.acks)},
        }

    def build_report(self):
        terms = [t.snapshot() for t in self.terminals]
        return {
            "tool": "termsim",
            "format": FORMAT_VERSION,
            "pid": os.getpid(),
            "started_wall": self.started_wall,
            "written_wall": time.time(),
            "uptime_s": time.monotonic() - self.started_mono,
            "pc": {"address": self.cfg["pc_address"], "port": self.cfg["udp_port"]},
            "root": self.root,
            "kernel_stamps": self.kernel_stamps,
            "terminals": terms,
            "pc_datagrams": pc_datagram_summary(terms),
            "bursts": [b.summary() for b in self.bursts],
        }

    def write_report(self, path=None):
        path = os.path.abspath(path or self.report_path)
        data = json.dumps(self.build_report(), ensure_ascii=False, indent=1)
        tmp = "%s.%d.tmp" % (path, os.getpid())
        try:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(tmp, "w", encoding="utf-8") as fh:
                fh.write(data)
            os.replace(tmp, path)
        except OSError as err:
            try:
                os.unlink(tmp)
            except OSError:
                pass
            raise ValueError("report %s: %s" % (path, err.strerror or err)) from err
        self._dirty = False
        return path

    def _report_on_signal(self):
        try:
            path = self.write_report()
            self.say("EVENT report " + json.dumps({"report": path}))
        except ValueError as err:
            print("termsim: %s" % err, file=sys.stderr)

    def _periodic_report(self):
        if self._dirty:
            try:
                self.write_report()
            except ValueError as err:
                print("termsim: %s" % err, file=sys.stderr)
        self.loop.call_later(self.cfg["report_interval_s"], self._periodic_report)


def pc_datagram_summary(terms):
    """Count and smallest gap of everything the terminals received from the
    PC, across all terminals. Kernel receive times when every record has
    one, else the monotonic clock of the receiving loop."""
    recs = [r for t in terms for r in t["received"]]
    use_kernel = bool(recs) and all(r["t_kernel"] is not None for r in recs)
    key = "t_kernel" if use_kernel else "t_mono"
    recs.sort(key=lambda r: r[key])
    gaps = [((b[key] - a[key]) * 1000.0, a["n"], b["n"]) for a, b in zip(recs, recs[1:])]
    smallest = min(gaps) if gaps else None
    by_name = {}
    for r in recs:
        by_name[r["name"]] = by_name.get(r["name"], 0) + 1
    return {
        "count": len(recs),
        "by_name": by_name,
        "clock": "kernel" if use_kernel else "monotonic",
        "min_gap_ms": smallest[0] if smallest else None,
        "min_gap_between": [smallest[1], smallest[2]] if smallest else None,
    }
