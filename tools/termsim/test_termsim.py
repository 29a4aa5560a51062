"""Self-test of termsim: datagram bytes, configuration, and a loopback round
trip of the real program (termsim.py) against a stand-in PC socket."""

import contextlib
import ftplib
import io
import json
import os
import random
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from termsimlib import burst, codec, config  # noqa: E402

PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


def fields(**over):
    base = dict(terminal_id="1234", vendor="VEND", machine_name="KT-100", machine_type="TYPE", type_info1="I1",
                type_info2="I2", ver_boot="B1.0", ver_apli="A2.0", ver_info1="V1", ver_info2="V2", ver_info3="V3",
                mac="00:1A:2B:3C:4D:5E", user_info2="U2")
    base.update(over)
    return base


def padded(text, width):
    return text.encode("cp932").ljust(width, b"\0")


class DatagramBytes(unittest.TestCase):
    def test_term_notify_places_every_field_at_its_offset_in_shift_jis(self):
        data = codec.term_notify(fields(vendor="ｶﾅ漢"), "127.0.0.5", 2)
        self.assertEqual(len(data), 326)
        expected = {0: b"\x80\x10\x00\x00", 4: padded("1234", 64), 68: b"\x7f\x00\x00\x05", 72: b"\x00\x02",
                    74: b"\xb6\xc5\x8a\xbf\x00", 324: b"\x00\x00"}
        texts = [(94, "KT-100", 20), (114, "TYPE", 20), (134, "I1", 20), (154, "I2", 20), (174, "B1.0", 10),
                 (184, "A2.0", 10), (194, "V1", 10), (204, "V2", 10), (214, "V3", 10),
                 (224, "00:1A:2B:3C:4D:5E", 50), (274, "U2", 50)]
        expected.update({offset: padded(text, width) for offset, text, width in texts})
        for offset, raw in expected.items():
            with self.subTest(offset=offset):
                self.assertEqual(data[offset : offset + len(raw)], raw)
        # Other sizes cut or extend it; a full field has no NUL; longer ones are refused.
        long = codec.term_notify(fields(vendor="ｶﾅ漢"), "127.0.0.5", 2, size=400)
        self.assertEqual((len(long), long[:326]), (400, data))
        self.assertEqual(codec.term_notify(fields(terminal_id="9" * 64), "127.0.0.5", 0)[4:68], b"9" * 64)
        for too_long in ({"terminal_id": "9" * 65}, {"ver_boot": "漢字漢字漢字"}):
            with self.assertRaises(codec.CodecError):
                codec.term_notify(fields(**too_long), "127.0.0.5", 0)
        with self.assertRaises(codec.CodecError):
            codec.stamp_field(["1" * 17, "", ""])

    def test_term_request_carries_sequence_selection_and_stamp_items(self):
        stamps = codec.stamp_field(["01022016101010", "", "31122015235959"]).decode()
        data = codec.term_request(fields(user_info2=stamps), "127.0.0.9", 1, 0x1234, 4)
        self.assertEqual((len(data), data[0:4], data[324:326]), (326, b"\x80\x50\x12\x34", b"\x00\x04"))
        # One text up to the field's end, without a NUL.
        self.assertEqual(data[274:324], b"01022016101010  ," + b" " * 16 + b",31122015235959  ")
        self.assertEqual(codec.decode(data)[2]["stamps"], ["01022016101010", "", "31122015235959"])

    def test_pc_datagrams_decode_and_flag_odd_sizes_and_bcd(self):
        ok = {"bcd_ok": True, "weekday_ok": True}
        cases = [
            ("00503412", "TermRequestAccept", {"seq": 0x1234, "size_ok": True}),
            ("005812340003", "TermRequestResult", {"seq": 0x1234, "result": 3, "size_ok": True}),
            ("004000000001", "RemoteCloseReq", {"restart": 1, "size_ok": True}),
            ("00300100", "RemoteOpenReq", {"word2_le": 1, "size_ok": True}),
            ("0030000100", "RemoteOpenReq", {"word2_le": 256, "size_ok": False}),
            ("00200000", "TermInfoReq", {"word2": 0, "size_ok": True}),
            ("803800000001", "RemoteOpenNak", {"reason": 1}), ("7777", "unknown", {}), ("", "unknown", {}),
            ("001000001612250623595918", "TermNotifyAck",
             dict(ok, year=16, month=12, day=25, weekday=6, hour=23, minute=59, second=59, entry_int=24)),
            ("00100000161225062A595918", "TermNotifyAck", dict(ok, bcd_ok=False)),  # hour in binary
            ("001000001612250723595918", "TermNotifyAck", dict(ok, weekday_ok=False)),
        ]
        for hexed, name, expect in cases:
            with self.subTest(hexed=hexed):
                got = codec.decode(bytes.fromhex(hexed))
                self.assertEqual(got[1], name)
                self.assertEqual({k: got[2][k] for k in expect}, expect)
        # Any truncated datagram decodes without error.
        for code in list(codec.NAMES) + [0x1234]:
            full = struct.pack(">H", code) + bytes(range(1, 60)) * 6
            for size in list(range(0, 14)) + [325, 326, 400]:
                with self.subTest(code=hex(code), size=size):
                    got_code, name, _ = codec.decode(full[:size])
                    self.assertEqual((got_code, name), (code, codec.NAMES.get(code, "unknown")) if size >= 2
                                     else (None, "unknown"))


class Configuration(unittest.TestCase):
    def test_rejects_bad_values_with_a_clear_text(self):
        bad = [
            ({"base_address": "127.0.0.1"}, {}, "management PC"), ({"base_address": "10.0.0.2"}, {}, "loopback"),
            ({"terminals": [{"colour": "red"}]}, {}, "unknown terminal key"),
            ({"terminals": [{"terminal_id": "1" * 65}]}, {}, "64-byte"),
            ({}, {"open": "maybe"}, "unknown answer"), ({}, {"open": "nak70000"}, "16-bit"),
            ({}, {"close": ["ack", "nak0"]}, "unknown answer"), ({}, {"ftp_fault": "explode"}, "ftp_fault"),
            ({}, {"stamps": ["a", "b"]}, "three"), ({}, {"regist": 70000}, "outside"),
            ({"count": 2, "terminals": [{"address": "127.0.0.9"}, {"address": "127.0.0.9"}]}, {}, "share"),
            ({"udp_port": 0}, {}, "udp_port"),
        ]
        for scenario, sets, words in bad:
            with self.subTest(scenario=scenario, sets=sets):
                with self.assertRaisesRegex(config.ConfigError, words):
                    config.build(scenario, {}, sets)

    def test_defaults_sets_and_entries_layer_in_order(self):
        scenario = {"count": 3, "base_address": "127.0.0.20", "id_start": 500,
                    "defaults": {"open": "nak0", "vendor": "D"},
                    "terminals": [{}, {"open": "silent", "terminal_id": "X9"}]}
        t = config.build(scenario, {}, {"open": "nak1", "regist": 2})["terminals"]
        self.assertEqual([(x["address"], x["open"], x["terminal_id"]) for x in t],
                         [("127.0.0.20", "nak1", "500"), ("127.0.0.21", "silent", "X9"), ("127.0.0.22", "nak1", "502")])
        self.assertEqual((t[0]["vendor"], t[2]["regist"]), ("D", 2))
        self.assertEqual((t[1]["mac"], t[1]["payload_address"]), ("02:00:7F:00:00:15", "127.0.0.21"))
        self.assertEqual(len({x["mac"] for x in t}), 3)

    def test_ftp_accounts_as_the_pc_reads_and_picks_them(self):
        cases = [
            ("[System]\nCount=1\n[ModelSet1]\nMODEL=Supervisor\nID=su\nPW=pw\n", {"*": ("su", "pw")}),
            ("[system]\ncount=0x2\n[MODELSET1]\nmodel=A\nid=a\npw=1\nid=ignored\n[ModelSet2]\nMODEL=B\nID=b\nPW=2\n",
             {"A": ("a", "1"), "B": ("b", "2")}),
            ("[System]\nCount=0\n[ModelSet1]\nMODEL=A\nID=a\nPW=1\n", {}),
            ("".join("[ModelSet%d]\nMODEL=M%d\nID=u\nPW=p\n" % (n, n) for n in range(1, 21)) + "[System]\nCount=20\n",
             {"M%d" % n: ("u", "p") for n in range(1, 17)}),  # at most 16
        ]
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "FTPauth.ini")
            for text, expect in cases:
                with self.subTest(text=text[:30]):
                    with open(path, "w") as fh:
                        fh.write(text)
                    self.assertEqual(config.read_ftpauth(path), expect)
        accounts = {"KT-100": ("k", "1"), "*": ("any", "2")}
        kt100, kt200 = {"machine_name": "KT-100", "ftp_user": None}, {"machine_name": "KT-200", "ftp_user": None}
        own = {"machine_name": "KT-100", "ftp_user": "own", "ftp_password": "x"}
        self.assertEqual([config.resolve_account(t, accounts) for t in (kt100, kt200, own)],
                         [("k", "1"), ("any", "2"), ("own", "x")])
        del accounts["*"]
        self.assertIsNone(config.resolve_account(kt200, accounts))


# --- loopback round trip against the real program


class StandInPc:
    """The PC's side: one UDP socket on 0.0.0.0 at the shared port."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        self.sock.bind(("0.0.0.0", 0))
        self.port = self.sock.getsockname()[1]

    def recv(self, timeout=3.0):
        self.sock.settimeout(timeout)
        return self.sock.recvfrom(65535)

    def recv_named(self, name, src=None, timeout=3.0):
        deadline = time.monotonic() + timeout
        while True:
            data, addr = self.recv(max(0.01, deadline - time.monotonic()))
            if codec.decode(data)[1] == name and (src is None or addr[0] == src):
                return data, addr

    def silent_for(self, seconds):
        with contextlib.suppress(socket.timeout):
            return self.recv(seconds)

    def drain(self):
        self.sock.setblocking(False)
        with contextlib.suppress(BlockingIOError):
            while True:
                self.sock.recvfrom(65535)


class Sim:
    """termsim.py as a child process with its control connection."""

    def __init__(self, args):
        self.root = tempfile.mkdtemp(prefix="termsim-test-")
        self.proc = subprocess.Popen([PYTHON, os.path.join(HERE, "termsim.py"), "--root", self.root] + args,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        line = self.read_line(10)
        if not line.startswith("READY "):
            self.proc.kill()
            raise AssertionError("no READY: %r %r" % (line, self.proc.stderr.read()))
        self.ctl = socket.create_connection(("127.0.0.1", json.loads(line[6:])["control_port"]), timeout=15)
        self.ctl_file = self.ctl.makefile("r", encoding="utf-8")

    def read_line(self, timeout):
        r, _, _ = select.select([self.proc.stdout], [], [], timeout)
        return self.proc.stdout.readline().decode() if r else ""

    def cmd(self, line):
        answer = self.raw(line)
        if not answer.startswith("OK"):
            raise AssertionError("%s -> %s" % (line, answer))
        with contextlib.suppress(ValueError):
            return json.loads(answer[3:]) if answer[3:] else None
        return answer[3:]

    def raw(self, line):
        self.ctl.sendall((line + "\n").encode())
        return self.ctl_file.readline().rstrip("\n")

    def stop(self):
        self.ctl_file.close()
        self.ctl.close()
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        out, err = self.proc.communicate(timeout=10)
        shutil.rmtree(self.root, ignore_errors=True)
        return self.proc.returncode, out.decode(), err.decode()


def fresh_base():
    # Own addresses per run, so parallel runs don't meet.
    return "127.%d.%d.10" % (random.randint(100, 199), random.randint(0, 255))


RESET = "set all open=ack close=ack ftp_fault=none fault_after=null fault_count=null stall_s=null fault_on=any "
RESET += "fault_files=* ver_apli=A9 restart_ver_apli=null silent_after_restart=false notify_after_restart_s=null"


class RoundTrip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pc = StandInPc()
        prefix = fresh_base().rsplit(".", 1)[0]
        cls.addr = [prefix + ".10", prefix + ".11"]
        cls.sim = Sim(["--udp-port", str(cls.pc.port), "--base", cls.addr[0], "--count", "2", "--ftp-port", "0",
                       "--account", "KT-100:kel:secret", "--set", "ver_apli=A9"])
        cls.terms = cls.sim.cmd("list")

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        cls.pc.sock.close()

    def setUp(self):
        self.sim.cmd(RESET)
        self.sim.cmd("clear")
        self.pc.drain()

    def send(self, data, index=0):
        self.pc.sock.sendto(data, (self.addr[index], self.pc.port))

    def ftp(self, index=0, user="kel", password="secret"):
        f = ftplib.FTP()
        try:
            f.connect(self.addr[index], self.terms[index]["ftp_port"], timeout=5)
            f.login(user, password)
        except BaseException:
            f.close()
            raise
        return f

    def put_terminal_file(self, name, data, index=0):
        with open(os.path.join(self.terms[index]["folder"], name), "wb") as fh:
            fh.write(data)

    def test_notices_and_session_answers(self):
        self.sim.cmd("notify all")
        got = dict((src[0], (data, src)) for data, src in (self.pc.recv_named("TermNotify") for _ in range(2)))
        for i, addr in enumerate(self.addr):
            data, src = got[addr]  # src[1]: sent from the terminal's own port
            f = codec.decode(data)[2]
            self.assertEqual((len(data), src[1], f["address"], f["terminal_id"], f["ver_apli"], f["mac"]),
                             (326, self.pc.port, addr, str(1001 + i), "A9", config.derived_mac(addr)))
        self.send(codec.term_notify_ack(2016, 2, 29, 1, 8, 30, 0, 24))
        self.send(codec.term_info_req())
        self.pc.recv_named("TermNotify", src=self.addr[0])
        self.assertEqual(self.sim.cmd("wait 0 TermNotifyAck"), 1)
        ack = self.sim.cmd("received 0 name=TermNotifyAck")[0]
        self.assertEqual((ack["fields"]["text"], ack["fields"]["entry_int"]), ("16-02-29 08:30:00", 24))
        self.assertEqual(ack["peer"], "127.0.0.1:%d" % self.pc.port)
        self.assertIsNotNone(ack["t_kernel"])
        plans = [("open=ack", "80300000"), ("open=nak0", "803800000000"), ("open=nak1", "803800000001"),
                 ("open=nak258", "803800000102"), ("close=ack", "80400000")]
        for setting, answer in plans:
            with self.subTest(setting=setting):
                self.sim.cmd("set 0 " + setting)
                self.send(codec.remote_close_req(1) if "close" in setting else codec.remote_open_req())
                data, src = self.pc.recv(2)
                self.assertEqual((data.hex(), src[0]), (answer, self.addr[0]))
        self.assertEqual(self.sim.cmd("status")["counts"][0]["RemoteCloseReq"], 1)
        # Silence, and a sequence of answers whose last one stays.
        self.sim.cmd("set 1 open=silent close=silent")
        self.send(codec.remote_open_req(), 1)
        self.send(codec.remote_close_req(0), 1)
        self.assertIsNone(self.pc.silent_for(0.3))
        self.assertEqual(self.sim.cmd("wait 1 RemoteCloseReq"), 1)
        self.sim.cmd("set 1 open='[\"silent\",\"nak0\",\"ack\"]'")
        for expected in (None, "803800000000", "80300000", "80300000"):
            self.send(codec.remote_open_req(), 1)
            got = self.pc.silent_for(0.3 if expected is None else 3)
            self.assertEqual(got and got[0].hex(), expected)

    def test_a_restart_brings_the_chosen_version_or_silence(self):
        t1 = self.addr[1]
        self.sim.cmd("set 1 restart_ver_apli=2.00 notify_after_restart_s=0")
        for restart, version in ((0, "A9"), (1, "2.00")):
            with self.subTest(restart=restart):
                self.send(codec.remote_close_req(restart), 1)
                self.pc.recv_named("RemoteCloseAck", src=t1)
                self.send(codec.term_info_req(), 1)
                data, _ = self.pc.recv_named("TermNotify", src=t1)
                self.assertEqual(codec.decode(data)[2]["ver_apli"], version)
        # A terminal that stays silent after its restart answers sessions but
        # sends no notice, whatever asks for one.
        self.sim.cmd("set 1 silent_after_restart=true notify_interval_s=0.1")
        self.send(codec.remote_close_req(1), 1)
        self.pc.recv_named("RemoteCloseAck", src=t1)
        self.send(codec.term_info_req(), 1)
        self.sim.cmd("notify 1")
        self.assertIsNone(self.pc.silent_for(0.5))
        self.assertGreaterEqual(self.sim.cmd("status")["counts"][1]["notify_suppressed"], 3)
        self.sim.cmd("set 1 notify_interval_s=0 silent_after_restart=false")
        self.sim.cmd("notify 1")
        self.pc.recv_named("TermNotify", src=t1)

    def test_odd_datagrams_for_the_pc(self):
        self.sim.cmd("set 0 notify_size=400")
        self.sim.cmd("notify 0")
        self.assertEqual(len(self.pc.recv_named("TermNotify")[0]), 400)
        self.sim.cmd("set 0 notify_size=326 payload_address=127.0.0.77")
        self.sim.cmd("notify 0")
        data, src = self.pc.recv_named("TermNotify")
        self.assertEqual((codec.decode(data)[2]["address"], src[0]), ("127.0.0.77", self.addr[0]))
        self.sim.cmd("set 0 payload_address=%s" % self.addr[0])
        self.sim.cmd("send 0 hex=")
        self.sim.cmd("send 0 hex=7777abcd")
        self.assertEqual((self.pc.recv()[0], self.pc.recv()[0]), (b"", b"\x77\x77\xab\xcd"))

    def test_term_request_and_its_answers(self):
        self.assertEqual(int(self.sim.cmd("request 0 seq=513 select=2 stamps=01022016101010,,")), 513)
        data, src = self.pc.recv_named("TermRequest")
        f = codec.decode(data)[2]
        self.assertEqual((data[2:4], f["word324"], f["stamps"]), (b"\x02\x01", 2, ["01022016101010", "", ""]))
        self.pc.sock.sendto(codec.term_request_accept(513), src)
        self.assertEqual(self.sim.cmd("wait 0 answer"), 1)
        self.assertEqual(int(self.sim.cmd("request 0")), 514)  # numbering goes on from the last one
        self.pc.recv_named("TermRequest")
        self.pc.sock.sendto(codec.term_request_result(514, 1), src)
        self.sim.cmd("wait 0 answer count=2")
        reqs = self.sim.cmd("requests 0")
        self.assertEqual([(r["seq"], r["answers"][0]["name"]) for r in reqs],
                         [(513, "TermRequestAccept"), (514, "TermRequestResult")])
        self.assertEqual(reqs[1]["answers"][0]["result"], 1)
        # An answer whose sequence number matches no request is counted apart.
        self.pc.sock.sendto(codec.term_request_result(999, 1), src)
        self.assertEqual(self.sim.cmd("wait 0 answer_unmatched"), 1)

    def test_spacing_is_measured_across_terminals(self):
        for i in range(4):
            self.send(codec.term_info_req() if i % 2 else codec.remote_close_req(0), i % 2)
            time.sleep(0.03)
        self.sim.cmd("wait all RemoteCloseReq count=2")
        self.sim.cmd("wait all TermInfoReq count=2")
        summary = self.sim.cmd("dump")["pc_datagrams"]
        self.assertEqual((summary["count"], summary["clock"]), (4, "kernel"))
        self.assertTrue(25.0 <= summary["min_gap_ms"] < 1000.0, summary)

    def test_ftp_uploads_are_kept_as_they_came_and_teach_the_terminal(self):
        # The stamp of a settings file, the SIP address of a new terminal, and
        # a name that is not UTF-8 kept as its bytes.
        self.sim.cmd("set 1 adopt_sip_address=true terminal_id=ERROR")
        self.addCleanup(self.sim.cmd, "set 1 adopt_sip_address=false terminal_id=1002 stamps=null")
        body, odd = b"[A]\r\nKey=1\r\n", "ファーム_v2.s".encode("cp932")
        f = self.ftp()
        f.voidcmd("TYPE A")
        with f.transfercmd("STOR kel_sys29022016083000.ini") as conn:
            conn.sendall(body)
        f.voidresp()
        f.storbinary("STOR fw.s", io.BytesIO(b"S0\n" * 100))
        f.encoding = "latin-1"  # sends the name's bytes unchanged
        f.storbinary("STOR " + odd.decode("latin-1"), io.BytesIO(b"S0\n"))
        f.quit()
        f = self.ftp(1)
        f.storbinary("STOR kel_user01012020000000.ini", io.BytesIO(b"SipAddress=1\r\n"))
        f.storbinary("STOR kel_sys01012020000000.ini", io.BytesIO(b"Version=3\r\n\r\n[SIP]\r\nSipAddress=5077\r\n"))
        f.quit()
        self.sim.cmd("wait 0 file count=3")
        self.sim.cmd("wait 1 file count=2")
        files = self.sim.cmd("files 0")
        self.assertEqual([(x["name"], x["type"], x["complete"], x["size"]) for x in files[:2]],
                         [("kel_sys29022016083000.ini", "A", True, len(body)), ("fw.s", "I", True, 300)])
        self.assertEqual(files[2]["name_hex"], odd.hex())
        self.assertTrue(os.path.exists(os.path.join(os.fsencode(self.terms[0]["folder"]), odd)))
        with open(os.path.join(self.terms[0]["folder"], "kel_sys29022016083000.ini"), "rb") as fh:
            self.assertEqual(fh.read(), body)  # stored as it came
        self.sim.cmd("request 0")
        self.assertEqual(codec.decode(self.pc.recv_named("TermRequest")[0])[2]["stamps"], ["29022016083000", "", ""])
        self.sim.cmd("notify 1")
        self.assertEqual(codec.decode(self.pc.recv_named("TermNotify")[0])[2]["terminal_id"], "5077")

    def test_ftp_login_needs_the_models_account_and_download_serves_the_stored_bytes(self):
        with self.assertRaises(ftplib.error_perm):
            self.ftp(password="wrong")
        self.sim.cmd("set 0 ftp_fault=login fault_count=1")
        with self.assertRaises(ftplib.error_perm):
            self.ftp()
        self.sim.cmd("set 1 machine_name=OTHER")
        with self.assertRaises(ftplib.error_perm):
            self.ftp(1)
        self.sim.cmd("set 1 machine_name=KT-100")
        body = b"Version=1\r\n\r\n[S]\nK=\x83J\r\n"
        self.put_terminal_file("kel_sys.ini", body)
        # The fault was for one login only; ASCII mode changes nothing.
        self.assertEqual(self.download("kel_sys.ini", mode="A"), (body, None))
        self.sim.cmd("wait 0 file_sent")
        events = self.sim.cmd("dump")["terminals"][0]["ftp"]["events"]
        self.assertEqual([(e["event"], e.get("reason")) for e in events][:3],
                         [("login_failed", "wrong user or password"), ("login_failed", "login refused (fault)"),
                          ("login", None)])

    def test_active_transfers_of_two_terminals_do_not_disturb_each_other(self):
        # The first terminal's finished active transfer frees a descriptor
        # number that the second one's data connection takes; closing the first
        # session must not take the second transfer off the loop.
        body = bytes(range(256)) * 40000  # far more than the socket buffers hold
        self.put_terminal_file("small.bin", b"x" * 100)
        self.put_terminal_file("big.bin", body, index=1)
        first, second = self.ftp(0), self.ftp(1)
        for f in (first, second):
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

    def download(self, name, timeout=5, mode="I"):
        f = self.ftp()
        f.sock.settimeout(timeout)
        f.voidcmd("TYPE " + mode)
        conn = f.transfercmd("RETR " + name)
        conn.settimeout(timeout)
        got, error = bytearray(), None
        try:
            for chunk in iter(lambda: conn.recv(65536), b""):
                got += chunk
            conn.close()
            f.voidresp()
        except (ftplib.Error, EOFError, OSError) as err:
            error = err
        finally:
            conn.close()
            f.close()
        return bytes(got), error

    def test_download_faults(self):
        body = bytes(range(256)) * 400
        self.put_terminal_file("big.bin", body)
        cases = [
            ("ftp_fault=cut fault_after=1000", 1000, ftplib.error_temp),
            ("ftp_fault=cut", len(body) // 2, ftplib.error_temp),
            ("ftp_fault=drop fault_after=5000", 5000, (EOFError, OSError)),
            ("ftp_fault=stall fault_after=3000", 3000, socket.timeout),
            ("ftp_fault=stall fault_after=3000 stall_s=0.3", len(body), type(None)),
            ("ftp_fault=cut fault_on=stor", len(body), type(None)),
            ("ftp_fault=cut fault_files=kel_*", len(body), type(None)),
        ]
        for setting, size, error_type in cases:
            with self.subTest(setting=setting):
                self.sim.cmd(RESET + " " + setting)
                started = time.monotonic()
                got, error = self.download("big.bin", timeout=1)
                self.assertEqual(got, body[:size])
                self.assertIsInstance(error, error_type)
                if "stall_s" in setting:
                    self.assertGreaterEqual(time.monotonic() - started, 0.3)

    def test_upload_faults(self):
        cases = [("ftp_fault=cut fault_after=100", 100, "426"), ("ftp_fault=stall fault_after=100", 100, "timeout"),
                 ("ftp_fault=stall fault_after=100 stall_s=0.2", 5000, "226")]
        for setting, stored, outcome in cases:
            with self.subTest(setting=setting):
                self.sim.cmd("clear 0")
                self.sim.cmd(RESET + " " + setting)
                f = self.ftp()
                f.sock.settimeout(1)
                conn = f.transfercmd("STOR up.bin")
                with contextlib.suppress(OSError):
                    conn.sendall(b"x" * 5000)
                conn.close()
                try:
                    f.voidresp()
                    got = "226"
                except ftplib.error_temp as err:
                    got = str(err)[:3]
                except socket.timeout:
                    got = "timeout"
                f.close()
                self.assertEqual(got, outcome)
                if outcome == "426":
                    self.sim.cmd("wait 0 file_incomplete")
                    rec = self.sim.cmd("files 0")[-1]
                    self.assertEqual((rec["complete"], rec["size"], rec["fault"]), (False, stored, "cut"))
                self.assertEqual(os.path.getsize(os.path.join(self.terms[0]["folder"], "up.bin")), stored)

    def test_control_errors_are_reported(self):
        for line, words in [("frobnicate", "unknown command"), ("set 0 colour=red", "unknown terminal key"),
                            ("set 9 open=ack", "no terminal"), ("set 0 address=127.0.0.99", "can't change"),
                            ("request 0 seq=70000", "16-bit"), ("send 0 hex=zz", "bad hex"),
                            ("wait 0 file timeout=0.1", "TIMEOUT 0")]:
            with self.subTest(line=line):
                self.assertIn(words, self.sim.raw(line))


class Lifecycle(unittest.TestCase):
    def setUp(self):
        self.pc = StandInPc()
        self.addCleanup(self.pc.sock.close)

    def test_counts_only_report_on_signal_and_at_exit(self):
        # Counts without datagram records for long runs: still answering.
        with tempfile.TemporaryDirectory() as tmp:
            report = os.path.join(tmp, "r.json")
            sim = Sim(["--udp-port", str(self.pc.port), "--base", fresh_base(), "--no-ftp", "--counts-only",
                       "--report", report])
            _, src = self.pc.recv_named("TermNotify")
            os.kill(sim.proc.pid, signal.SIGUSR1)
            self.assertTrue(sim.read_line(5).startswith("EVENT report"))
            with open(report) as fh:
                self.assertEqual(json.load(fh)["terminals"][0]["counts"]["sent:TermNotify"], 1)
            self.pc.sock.sendto(codec.term_info_req(), src)
            self.pc.recv_named("TermNotify", src=src[0])
            self.assertEqual(sim.cmd("wait 0 TermInfoReq"), 1)
            self.assertEqual((sim.cmd("received 0"), sim.cmd("dump")["terminals"][0]["sent"]), ([], []))
            rc, out, _ = sim.stop()
            self.assertEqual((rc, "BYE" in out), (0, True))
            with open(report) as fh:
                counts = json.load(fh)["terminals"][0]["counts"]
            self.assertEqual((counts["TermInfoReq"], counts["sent:TermNotify"]), (1, 2))
            self.assertEqual(os.listdir(tmp), ["r.json"])  # no temp file left

    def test_scenario_file_with_own_source_port_and_a_missing_one_refused(self):
        proc = subprocess.run([PYTHON, os.path.join(HERE, "termsim.py"), "--scenario", "/nonexistent/s.json"],
                              capture_output=True, timeout=20)
        self.assertEqual((proc.returncode, b"READY" in proc.stdout), (2, False))
        self.assertIn("scenario", proc.stderr.decode())
        scenario = {"udp_port": self.pc.port, "base_address": fresh_base(),
                    "accounts": {"KT-9": {"user": "u9", "password": "p9"}},
                    "defaults": {"machine_name": "KT-9", "ftp": False},
                    "terminals": [{"source_port": 0, "open": "nak1", "terminal_id": "77"}]}
        with tempfile.NamedTemporaryFile("w", suffix=".json") as fh:
            json.dump(scenario, fh)
            fh.flush()
            sim = Sim(["--scenario", fh.name])
        data, src = self.pc.recv_named("TermNotify")
        self.assertEqual(codec.decode(data)[2]["terminal_id"], "77")
        self.assertNotEqual(src[1], self.pc.port)  # sent from its own port
        self.pc.sock.sendto(codec.remote_open_req(), src)
        self.assertEqual(self.pc.recv()[0].hex(), "803800000001")
        term = sim.cmd("dump")["terminals"][0]
        self.assertEqual((term["source_port"], term["account"]), (src[1], {"user": "u9", "password": "p9"}))
        sim.stop()

    def test_dies_with_its_parent(self):
        # The shell starts termsim and ends; termsim must follow it.
        def running(pid):
            try:
                with open("/proc/%d/stat" % pid) as fh:
                    return fh.read().rsplit(")", 1)[1].split()[0] != "Z"
            except OSError:
                return False

        with tempfile.TemporaryDirectory() as root:
            script = "%s %s --udp-port %d --base %s --no-ftp --die-with-parent --root %s" % (
                PYTHON, os.path.join(HERE, "termsim.py"), self.pc.port, fresh_base(), root)
            script += " </dev/null >/dev/null 2>&1 & echo $!; sleep 0.5"
            pid = int(subprocess.run(["sh", "-c", script], capture_output=True, timeout=20).stdout)
            deadline = time.monotonic() + 5
            while time.monotonic() < deadline and running(pid):
                time.sleep(0.05)
            alive = running(pid)
            if alive:
                os.kill(pid, signal.SIGKILL)
        self.assertFalse(alive)

    def test_bursts_from_distinct_terminals_shared_or_own_source(self):
        pc, seen, stop = self.pc, [], threading.Event()

        def answer():
            # Acks to the address inside each notice, at its source port.
            pc.sock.settimeout(0.2)
            while not stop.is_set():
                with contextlib.suppress(socket.timeout):
                    data, src = pc.sock.recvfrom(2048)
                    f = codec.decode(data)[2]
                    seen.append((f["terminal_id"], f["mac"], f["address"]))
                    pc.sock.sendto(codec.term_notify_ack(2024, 1, 2, 2, 3, 4, 5, 1), (f["address"], src[1]))
                    time.sleep(0.001)

        worker = threading.Thread(target=answer)
        worker.start()
        sim = Sim(["--udp-port", str(pc.port), "--count", "0"])
        try:
            self.assertEqual(sim.cmd("burst count=300 rate=3000 addr_base=127.3.0.0 idle_s=1")["count"], 300)
            self.assertIn("a burst is running", sim.raw("burst count=5"))
            done = sim.cmd("wait burst timeout=20")
        finally:
            stop.set()
            worker.join()
        self.assertEqual((done["sent"], done["acks_ok"], done["acked_terminals"], done["missing"]), (300, 300, 300, 0))
        self.assertGreater(done["ack_gap_min_ms"], 0.5)  # the stand-in paces its acks
        self.assertLess(done["send_duration_s"], 5.0)
        # Distinct terminals as the formula has them, past the carry into the third address byte.
        params = config.check_burst({"count": 300, "addr_base": "127.3.0.0"})
        want = [burst.burst_fields(params, n) for n in range(300)]
        self.assertEqual(sorted(seen), sorted((f["terminal_id"], f["mac"], f["address"]) for f in want))
        self.assertEqual((want[0]["terminal_id"], want[299]["address"]), ("200000", "127.3.1.44"))
        # Each notice from the address it carries.
        sim.cmd("burst count=20 rate=1000 addr_base=127.4.0.0 idle_s=0.5 own_source=1")
        own = [(codec.decode(data)[2]["address"], src[0]) for data, src in (pc.recv() for _ in range(20))]
        self.assertEqual(sorted(own), sorted(("127.4.0.%d" % n,) * 2 for n in range(1, 21)))
        sim.cmd("wait burst timeout=20")
        rc, out, _ = sim.stop()
        self.assertEqual(rc, 0)
        self.assertIn("EVENT burst-done", out)


if __name__ == "__main__":
    unittest.main()
