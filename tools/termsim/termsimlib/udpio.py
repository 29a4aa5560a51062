"""UDP sockets that report, for every datagram, the kernel's receive time
and the destination address it was sent to.

Kernel time stamps (SO_TIMESTAMPNS) make the gaps between datagrams exact
even when the simulator is busy; the destination (IP_PKTINFO) tells which
simulated terminal an answer was meant for when one socket serves many."""

import socket
import struct
import sys
import time

# Linux values; the socket module does not export them.
SO_TIMESTAMPNS = 35
IP_PKTINFO = 8
_LINUX = sys.platform.startswith("linux")
_TIMESPEC = struct.Struct("@ll")
ANC_SIZE = socket.CMSG_SPACE(_TIMESPEC.size) + socket.CMSG_SPACE(12) if _LINUX else 0
MAX_DATAGRAM = 65535


def open_udp(address, port, reuse=True, rcvbuf=None):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        if reuse:
            # The PC binds 0.0.0.0 on the same port; both sides need this.
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        if rcvbuf:
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
        if _LINUX:
            sock.setsockopt(socket.SOL_SOCKET, SO_TIMESTAMPNS, 1)
            sock.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        sock.bind((address, port))
        sock.setblocking(False)
    except OSError:
        sock.close()
        raise
    return sock


class KernelClock:
    """Keeps one time-stamping socket open for the life of the process and
    confirms that the kernel really stamps datagrams: Linux switches time
    stamping on lazily after the first socket asks for it, and until then
    stamps datagrams when they are read, not when they arrive."""

    def __init__(self):
        self.sock = None
        self.working = False

    def start(self, max_wait=1.0):
        if not _LINUX:
            return False
        self.sock = open_udp("127.0.0.1", 0, reuse=False)
        probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        deadline = time.monotonic() + max_wait
        try:
            while time.monotonic() < deadline and not self.working:
                sent = time.time()
                probe.sendto(b"t", self.sock.getsockname())
                time.sleep(0.005)
                for dg in receive_all(self.sock, raw_stamps=True):
                    # Stamped on arrival: well before the 5 ms wait ended.
                    if dg.t_kernel is not None and dg.t_kernel - sent < 0.003:
                        self.working = True
        finally:
            probe.close()
        return self.working

    def close(self):
        if self.sock is not None:
            self.sock.close()
            self.sock = None


CLOCK = KernelClock()


class Datagram:
    __slots__ = ("data", "src", "dst", "t_kernel", "t_mono", "t_wall")

    def __init__(self, data, src, dst, t_kernel, t_mono, t_wall):
        self.data = data
        self.src = src
        self.dst = dst
        self.t_kernel = t_kernel
        self.t_mono = t_mono
        self.t_wall = t_wall


def receive_all(sock, limit=None, raw_stamps=False):
    """Every datagram waiting on the non-blocking socket (at most limit).
    Kernel stamps are given only once CLOCK has confirmed them."""
    use_stamps = raw_stamps or CLOCK.working
    out = []
    while limit is None or len(out) < limit:
        try:
            data, anc, _flags, src = sock.recvmsg(MAX_DATAGRAM, ANC_SIZE)
        except (BlockingIOError, InterruptedError):
            break
        except ConnectionRefusedError:
            continue  # an ICMP error of an earlier send; not a datagram
        t_mono = time.monotonic()
        t_wall = time.time()
        t_kernel = None
        dst = None
        for level, kind, payload in anc:
            if use_stamps and level == socket.SOL_SOCKET and kind == SO_TIMESTAMPNS and len(payload) >= _TIMESPEC.size:
                sec, nsec = _TIMESPEC.unpack_from(payload)
                t_kernel = sec + nsec / 1e9
            elif level == socket.IPPROTO_IP and kind == IP_PKTINFO and len(payload) >= 12:
                dst = socket.inet_ntoa(payload[8:12])
        out.append(Datagram(data, src, dst, t_kernel, t_mono, t_wall))
    return out


def udp_counters():
    """System-wide UDP counters of /proc/net/snmp (empty where missing)."""
    try:
        with open("/proc/net/snmp", "r") as fh:
            lines = [line.split() for line in fh if line.startswith("Udp:")]
    except OSError:
        return {}
    if len(lines) < 2:
        return {}
    return {k: int(v) for k, v in zip(lines[0][1:], lines[1][1:])}
