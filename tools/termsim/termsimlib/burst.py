"""Burst mode: TermNotify datagrams from many distinct terminals, all sent
from one socket at a fixed rate, and the TermNotifyAck answers they get.

Terminal n (0-based) of a burst carries:
  terminal ID   str(id_start + n)
  address       addr_base + 1 + n
  MAC           "02:01:" + the four address bytes in hex, upper case
  regist        n % 3
  type_info1    "burst-" + str(n)
and the burst's vendor and machine_name; machine_type "IPPHONE", both
versions "1.00", other texts empty.

Answers go to the address inside each notice, at this socket's port; the
socket is bound to 0.0.0.0 by default, so answers to any 127.x.x.x address
reach it, and IP_PKTINFO tells which terminal each one was meant for.

With own_source each notice leaves from its terminal's own address (the
source chosen per datagram with IP_PKTINFO), as phones on a LAN send them;
otherwise all leave from the one socket's address, as from behind a router."""

import ipaddress
import socket
import statistics
import struct
import time

from . import codec, udpio

_RCVBUF = 4 * 1024 * 1024
_PREBUILD_MAX = 262144  # payloads built before the clock starts (85 MB)


def burst_fields(params, n):
    base = int(ipaddress.IPv4Address(params["addr_base"]))
    packed = struct.pack(">I", base + 1 + n)
    return {
        "terminal_id": str(params["id_start"] + n),
        "address": socket.inet_ntoa(packed),
        "mac": "02:01:%02X:%02X:%02X:%02X" % tuple(packed),
        "regist": n % 3,
        "type_info1": "burst-%d" % n,
        "vendor": params["vendor"],
        "machine_name": params["machine_name"],
        "machine_type": "IPPHONE",
        "ver_boot": "1.00",
        "ver_apli": "1.00",
    }


class Burst:
    def __init__(self, sim, params):
        self.sim = sim
        self.params = params
        self.dest = (sim.cfg["pc_address"], sim.cfg["udp_port"])
        # Two sockets on one port: a connected one to send (a connected send
        # skips the route lookup and is about twice as fast) and an open one
        # that takes answers from any source. Answers are read from both.
        self.sock = udpio.open_udp(params["bind"], params["port"], rcvbuf=_RCVBUF)
        self.port = self.sock.getsockname()[1]
        try:
            self.send_sock = udpio.open_udp(params["bind"], self.port, rcvbuf=_RCVBUF)
            self.send_sock.connect(self.dest)
        except OSError:
            self.sock.close()
            raise
        self.prebuilt = None
        self.sources = None
        self.base = int(ipaddress.IPv4Address(params["addr_base"]))
        first = burst_fields(params, 0)
        texts = {k: v for k, v in first.items() if k not in ("address", "regist")}
        self.template = bytearray(codec.term_notify(texts, first["address"], 0))
        self.sent = 0
        self.send_errors = 0
        self.send_retries = 0
        self.acks = []  # (t_kernel, t_mono, t_wall, dst, code, size)
        self.done = False
        self.t0_mono = self.t0_wall = None
        self.t_last_send_mono = self.t_last_send_wall = None
        self.t_last_ack_mono = None
        self.counters0 = self.counters1 = None
        self._timer = None

    def payload(self, n):
        # Same values as burst_fields(), patched into a copy of the template
        # without the per-field checks, to keep up with high rates.
        buf = bytearray(self.template)
        packed = struct.pack(">I", self.base + 1 + n)
        buf[4:68] = str(self.params["id_start"] + n).encode("ascii").ljust(64, b"\0")
        buf[68:72] = packed
        struct.pack_into(">H", buf, codec.REGIST_OFFSET, n % 3)
        buf[134:154] = ("burst-%d" % n).encode("ascii").ljust(20, b"\0")
        buf[224:274] = ("02:01:%02X:%02X:%02X:%02X" % tuple(packed)).encode("ascii").ljust(50, b"\0")
        return bytes(buf)

    def source(self, n):
        packed = struct.pack(">I", self.base + 1 + n)
        return [(socket.IPPROTO_IP, udpio.IP_PKTINFO, struct.pack("=I4s4s", 0, packed, bytes(4)))]

    def _send(self, n):
        data = self.prebuilt[n] if self.prebuilt is not None else self.payload(n)
        if not self.params["own_source"]:
            return self.send_sock.send(data)
        anc = self.sources[n] if self.sources is not None else self.source(n)
        return self.sock.sendmsg([data], anc, 0, self.dest)

    def start(self):
        if self.params["count"] <= _PREBUILD_MAX:
            self.prebuilt = [self.payload(n) for n in range(self.params["count"])]
            if self.params["own_source"]:
                self.sources = [self.source(n) for n in range(self.params["count"])]
        self.counters0 = udpio.udp_counters()
        self.t0_mono, self.t0_wall = time.monotonic(), time.time()
        self.sim.loop.add_reader(self.sock, lambda: self._on_readable(self.sock))
        self.sim.loop.add_reader(self.send_sock, lambda: self._on_readable(self.send_sock))
        self._pump()

    def _pump(self):
        self._timer = None
        count, rate = self.params["count"], self.params["rate"]
        now = time.monotonic()
        due = count if rate <= 0 else min(count, int((now - self.t0_mono) * rate) + 1)
        if rate <= 0:
            due = min(count, self.sent + 256)  # then let the answers in
        send = self._send
        while self.sent < due:
            try:
                send(self.sent)
            except (BlockingIOError, InterruptedError):
                self.send_retries += 1
                break
            except OSError:
                self.send_errors += 1
            self.sent += 1
        if self.sent < count:
            at = time.monotonic() if rate <= 0 else self.t0_mono + self.sent / rate
            self._timer = self.sim.loop.call_at(at, self._pump)
            return
        self.t_last_send_mono, self.t_last_send_wall = time.monotonic(), time.time()
        self._schedule_check()

    def _schedule_check(self):
        self._timer = self.sim.loop.call_later(min(0.2, self.params["idle_s"] or 0.2), self._check)

    def _check(self):
        self._timer = None
        if self.done:
            return
        now = time.monotonic()
        last = max(self.t_last_send_mono, self.t_last_ack_mono or 0)
        enough = len(self.acks) >= self.params["count"]
        idle = now - last >= self.params["idle_s"]
        over = self.params["max_s"] > 0 and now - self.t0_mono >= self.params["max_s"]
        if enough or idle or over:
            self.finish()
        else:
            self._schedule_check()

    def _on_readable(self, sock):
        for dg in udpio.receive_all(sock):
            code = struct.unpack_from(">H", dg.data)[0] if len(dg.data) >= 2 else None
            self.acks.append((dg.t_kernel, dg.t_mono, dg.t_wall, dg.dst, code, len(dg.data)))
            self.t_last_ack_mono = dg.t_mono
        if self.t_last_send_mono is not None and len(self.acks) >= self.params["count"] and not self.done:
            self.finish()

    def finish(self):
        if self.done:
            return
        self.done = True
        if self._timer is not None:
            self._timer.cancel()
            self._timer = None
        self.counters1 = udpio.udp_counters()
        self.prebuilt = None
        self.sources = None
        for sock in (self.sock, self.send_sock):
            self.sim.loop.remove_reader(sock)
        self.close()
        self.sim.burst_finished(self)

    def close(self):
        self.sock.close()
        self.send_sock.close()

    def cancel(self):
        if self.t_last_send_mono is None:
            self.t_last_send_mono, self.t_last_send_wall = time.monotonic(), time.time()
        self.finish()

    def summary(self):
        params = self.params
        ok = [a for a in self.acks if a[4] == codec.TERM_NOTIFY_ACK and a[5] == 12]
        seen = set()
        foreign = 0
        for a in ok:
            if a[3] is None:
                continue
            n = int(ipaddress.IPv4Address(a[3])) - self.base - 1
            if 0 <= n < params["count"]:
                seen.add(n)
            else:
                foreign += 1
        # Without IP_PKTINFO the answers can't be told apart.
        known = not ok or all(a[3] is not None for a in ok)
        missing = [n for n in range(params["count"]) if n not in seen] if known else None
        use_kernel = bool(ok) and all(a[0] is not None for a in ok)
        times = sorted(a[0] if use_kernel else a[1] for a in ok)
        gaps = [(b - a) * 1000.0 for a, b in zip(times, times[1:])]
        send_s = None
        if self.t_last_send_mono is not None and self.t0_mono is not None:
            send_s = self.t_last_send_mono - self.t0_mono
        last_ack_wall = max((a[0] if use_kernel else a[2]) for a in ok) if ok else None
        out = {
            "count": params["count"],
            "rate": params["rate"],
            "id_start": params["id_start"],
            "addr_base": params["addr_base"],
            "port": self.port,
            "done": self.done,
            "sent": self.sent,
            "send_errors": self.send_errors,
            "send_retries": self.send_retries,
            "send_start_wall": self.t0_wall,
            "send_end_wall": self.t_last_send_wall,
            "send_duration_s": send_s,
            "send_rate": (self.sent / send_s) if send_s else None,
            "acks": len(self.acks),
            "acks_ok": len(ok),
            "acks_other": len(self.acks) - len(ok),
            "acked_terminals": len(seen),
            "acks_foreign": foreign,
            "missing": len(missing) if missing is not None else None,
            "missing_sample": missing[:20] if missing is not None else None,
            "clock": "kernel" if use_kernel else "monotonic",
            "ack_gap_min_ms": min(gaps) if gaps else None,
            "ack_gap_median_ms": statistics.median(gaps) if gaps else None,
            "ack_gap_max_ms": max(gaps) if gaps else None,
            "last_ack_after_last_send_s": (last_ack_wall - self.t_last_send_wall)
            if last_ack_wall is not None and self.t_last_send_wall is not None
            else None,
            "udp_counters_delta": {k: self.counters1.get(k, 0) - v for k, v in self.counters0.items()}
            if self.counters0 and self.counters1
            else {},
        }
        if params["detail"]:
            # [time, terminal number] per answer, in arrival order
            out["ack_detail"] = sorted(
                [a[0] if use_kernel else a[1], (int(ipaddress.IPv4Address(a[3])) - self.base - 1) if a[3] else None]
                for a in ok
            )
        return out
