"""Self-test of termsim: datagram bytes and a loopback round trip of termsim.py
against a stand-in PC socket; what the C++ end-to-end tests drive through it is theirs."""

import contextlib
import ftplib
import json
import os
import random
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from termsimlib import codec, config  # noqa: E402

PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
TERMSIM = os.path.join(HERE, "termsim.py")


class Offline(unittest.TestCase):
    def test_notices_place_their_fields_in_shift_jis(self):
        fields = dict(terminal_id="1234", vendor="ｶﾅ漢", machine_name="KT-100", ver_apli="A2.0",
                      mac="00:1A:2B:3C:4D:5E", user_info2="U2")
        data = codec.term_notify(fields, "127.0.0.5", 2)
        expected = {0: b"\x80\x10\x00\x00", 4: b"1234\0", 68: b"\x7f\x00\x00\x05\x00\x02", 74: b"\xb6\xc5\x8a\xbf\x00",
                    94: b"KT-100\0", 184: b"A2.0\0", 224: b"00:1A:2B:3C:4D:5E\0", 274: b"U2\0", 324: b"\x00\x00"}
        self.assertEqual(len(data), 326)
        for offset, raw in expected.items():
            self.assertEqual(data[offset : offset + len(raw)], raw, offset)
        self.assertEqual(codec.term_notify(dict(fields, terminal_id="9" * 64), "127.0.0.5", 0)[4:68], b"9" * 64)
        with self.assertRaises(codec.CodecError):
            codec.term_notify(dict(fields, ver_apli="漢字漢字漢字"), "127.0.0.5", 0)

    def test_pc_datagrams_decode_and_flag_odd_sizes_and_bcd(self):
        ok = {"bcd_ok": True, "weekday_ok": True}
        cases = [
            ("005812340003", "TermRequestResult", {"seq": 0x1234, "result": 3, "size_ok": True}),
            ("0030000100", "RemoteOpenReq", {"word2_le": 256, "size_ok": False}),
            ("001000001612250623595918", "TermNotifyAck",
             dict(ok, year=16, month=12, day=25, weekday=6, hour=23, minute=59, second=59, entry_int=24)),
            ("00100000161225062A595918", "TermNotifyAck", dict(ok, bcd_ok=False)),  # hour in binary
            ("001000001612250723595918", "TermNotifyAck", dict(ok, weekday_ok=False)),
        ]
        for hexed, name, expect in cases:
            got = codec.decode(bytes.fromhex(hexed))
            self.assertEqual((got[1], {k: got[2][k] for k in expect}), (name, expect), hexed)


class StandInPc:
    """The PC's side: one UDP socket on 0.0.0.0 at the shared port."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)  # termsim shares the port
        self.sock.bind(("0.0.0.0", 0))
        self.port = self.sock.getsockname()[1]

    def recv(self, timeout=3.0):
        self.sock.settimeout(timeout)
        with contextlib.suppress(socket.timeout):
            return self.sock.recvfrom(65535)

    def recv_named(self, name, src=None, timeout=3.0):
        deadline = time.monotonic() + timeout
        while True:
            data, addr = self.recv(max(0.01, deadline - time.monotonic()))
            if codec.decode(data)[1] == name and (src is None or addr[0] == src):
                return data, addr


class Sim:
    """termsim.py as a child process with its control connection."""

    def __init__(self, args):
        self.root = tempfile.mkdtemp(prefix="termsim-test-")
        self.proc = subprocess.Popen([PYTHON, TERMSIM, "--root", self.root] + args,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        r, _, _ = select.select([self.proc.stdout], [], [], 10)
        line = self.proc.stdout.readline().decode() if r else ""
        if not line.startswith("READY "):
            self.proc.kill()
            raise AssertionError("no READY: %r %r" % (line, self.proc.stderr.read()))
        self.ctl = socket.create_connection(("127.0.0.1", json.loads(line[6:])["control_port"]), timeout=15)
        self.ctl_file = self.ctl.makefile("r", encoding="utf-8")

    def cmd(self, line):
        self.ctl.sendall((line + "\n").encode())
        answer = self.ctl_file.readline().rstrip("\n")
        if not answer.startswith("OK"):
            raise AssertionError("%s -> %s" % (line, answer))
        with contextlib.suppress(ValueError):
            return json.loads(answer[3:]) if answer[3:] else None
        return answer[3:]

    def stop(self):
        self.ctl_file.close()
        self.ctl.close()
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        self.proc.communicate(timeout=10)
        shutil.rmtree(self.root, ignore_errors=True)


class RoundTrip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pc = StandInPc()
        prefix = "127.%d.%d" % (random.randint(100, 199), random.randint(0, 255))  # own per run
        cls.addr = [prefix + ".10", prefix + ".11"]
        cls.sim = Sim(["--udp-port", str(cls.pc.port), "--base", cls.addr[0], "--count", "2", "--ftp-port", "0",
                       "--account", "KT-100:kel:secret", "--set", "ver_apli=A9"])
        cls.terms = cls.sim.cmd("list")

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        cls.pc.sock.close()

    def setUp(self):
        self.sim.cmd("set all open=ack")
        self.sim.cmd("clear")
        while self.pc.recv(0.05):
            pass

    def send(self, data, index=0):
        self.pc.sock.sendto(data, (self.addr[index], self.pc.port))

    def test_notices_session_answers_and_requests(self):
        self.sim.cmd("notify all")
        got = dict((src[0], (data, src)) for data, src in (self.pc.recv_named("TermNotify") for _ in range(2)))
        for i, addr in enumerate(self.addr):
            data, src = got[addr]  # src[1]: sent from the terminal's own port
            f = codec.decode(data)[2]
            self.assertEqual((src[1], f["address"], f["terminal_id"], f["ver_apli"], f["mac"]),
                             (self.pc.port, addr, str(1001 + i), "A9", config.derived_mac(addr)))
        self.send(codec.term_notify_ack(2016, 2, 29, 1, 8, 30, 0, 24))
        self.assertEqual(self.sim.cmd("wait 0 TermNotifyAck"), 1)
        ack = self.sim.cmd("received 0 name=TermNotifyAck")[0]
        self.assertEqual((ack["fields"]["text"], ack["peer"]), ("16-02-29 08:30:00", "127.0.0.1:%d" % self.pc.port))
        # Silence, and a sequence of answers whose last one stays.
        self.sim.cmd("set 1 open='[\"silent\",\"nak258\",\"ack\"]'")
        for expected in (None, "803800000102", "80300000", "80300000"):
            self.send(codec.remote_open_req(), 1)
            got = self.pc.recv(0.3 if expected is None else 3)
            self.assertEqual(got and (got[0].hex(), got[1][0]), expected and (expected, self.addr[1]))
        self.assertEqual(int(self.sim.cmd("request 0 seq=513 select=2 stamps=01022016101010,,")), 513)
        data, src = self.pc.recv_named("TermRequest")
        self.assertEqual((data[2:4], codec.decode(data)[2]["stamps"]), (b"\x02\x01", ["01022016101010", "", ""]))
        for seq in (513, 999):  # 999 matches no request
            self.pc.sock.sendto(codec.term_request_result(seq, 1), src)
        self.assertEqual((self.sim.cmd("wait 0 answer"), self.sim.cmd("wait 0 answer_unmatched")), (1, 1))
        self.assertEqual(self.sim.cmd("requests 0")[0]["answers"][0]["result"], 1)

    def test_active_transfers_of_two_terminals_do_not_disturb_each_other(self):
        # The first terminal's finished active transfer frees a descriptor
        # number that the second one's data connection takes; closing the first
        # session must not take the second transfer off the loop.
        body = bytes(range(256)) * 40000  # far more than the socket buffers hold
        first, second = ftplib.FTP(), ftplib.FTP()
        for i, (f, name, data) in enumerate(((first, "small.bin", b"x" * 100), (second, "big.bin", body))):
            with open(os.path.join(self.terms[i]["folder"], name), "wb") as fh:
                fh.write(data)
            f.connect(self.addr[i], self.terms[i]["ftp_port"], timeout=5)
            f.login("kel", "secret")
            f.set_pasv(False)
            f.sock.settimeout(5)
        first.retrbinary("RETR small.bin", lambda chunk: None)
        conn = second.transfercmd("RETR big.bin")
        conn.settimeout(5)
        got = bytearray(conn.recv(1000))
        first.quit()
        try:
            for chunk in iter(lambda: conn.recv(65536), b""):
                got += chunk
        finally:
            conn.close()
        second.voidresp()
        second.quit()
        self.assertEqual(len(got), len(body))


if __name__ == "__main__":
    unittest.main()
