#!/usr/bin/python3
"""termsim: simulated IP desk phones for the management PC.

Plays N terminals on loopback addresses (UDP notices, maintenance session
answers, an FTP server each), or a burst of notices from many terminals.
Prints one READY line when every socket is bound. See README.md."""

import argparse
import logging
import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from termsimlib import config  # noqa: E402
from termsimlib.sim import Simulator, StartError  # noqa: E402


def parse_args(argv):
    p = argparse.ArgumentParser(
        prog="termsim.py",
        description="Simulated terminals for the management PC (see README.md).",
    )
    p.add_argument("--scenario", metavar="FILE", help="JSON scenario file")
    p.add_argument("--pc-address", help="address the PC listens on (default 127.0.0.1)")
    p.add_argument("--udp-port", type=int, help="UDP port of PC and terminals (default 4000)")
    p.add_argument("--base", dest="base_address", help="first terminal address (default 127.0.0.2)")
    p.add_argument("--count", type=int, help="number of terminals (default 1; 0 for a burst alone)")
    p.add_argument("--id-start", type=int, help="terminal ID of the first terminal (default 1001)")
    p.add_argument("--ftp-port", type=int, help="FTP port of every terminal (default 21; 0 picks one each)")
    p.add_argument("--no-ftp", action="store_true", help="no FTP servers")
    p.add_argument("--account", action="append", default=[], metavar="MODEL:USER:PASSWORD",
                   help="FTP account of a model (MODEL * serves every model)")
    p.add_argument("--ftpauth", metavar="FILE", help="take the accounts from the PC's FTPauth.ini")
    p.add_argument("--set", action="append", default=[], metavar="KEY=VALUE",
                   help="terminal setting for every terminal, e.g. open=nak1 ftp_fault=cut")
    p.add_argument("--notify-interval", type=float, metavar="S", help="TermNotify every S seconds")
    p.add_argument("--no-start-notify", action="store_true", help="no TermNotify at start")
    p.add_argument("--stagger-ms", type=float, dest="notify_stagger_ms", help="start notices this far apart")
    p.add_argument("--root", help="folder for the terminals' FTP folders (default: a new temp folder)")
    p.add_argument("--report", metavar="FILE", help="JSON report (default ROOT/termsim-report.json)")
    p.add_argument("--report-interval", type=float, dest="report_interval_s", metavar="S",
                   help="also write the report every S seconds when something changed")
    p.add_argument("--control-port", type=int, help="TCP control port on 127.0.0.1 (0 picks one, -1 none)")
    p.add_argument("--exit-on-eof", action="store_true", help="quit when stdin closes")
    p.add_argument("--counts-only", action="store_true",
                   help="keep counts but no datagram records (memory stays flat in long runs)")
    p.add_argument("--die-with-parent", action="store_true",
                   help="quit when the process that started termsim ends (Linux)")
    p.add_argument("--burst-count", type=int, metavar="N", help="send a burst of N notices at start")
    p.add_argument("--burst-rate", type=float, metavar="R", help="burst notices per second (0: as fast as possible)")
    p.add_argument("--burst-id-start", type=int, metavar="ID")
    p.add_argument("--burst-addr-base", metavar="ADDR", help="burst terminal n has ADDR+1+n (default 127.1.0.0)")
    p.add_argument("--burst-port", type=int, metavar="PORT", help="local port of the burst socket (default any)")
    p.add_argument("--burst-idle", type=float, metavar="S",
                   help="burst ends S seconds after the last answer (default 5)")
    p.add_argument("--burst-max", type=float, metavar="S", help="burst ends after S seconds at most")
    p.add_argument("--burst-detail", action="store_true", help="report every answer's time")
    p.add_argument("--exit-after-burst", action="store_true", help="quit when the burst has ended")
    p.add_argument("-v", "--verbose", action="count", default=0, help="log to stderr (twice: FTP debug)")
    return p.parse_args(argv)


def make_config(args):
    scenario = config.load_scenario(args.scenario) if args.scenario else {}
    overrides = {
        "pc_address": args.pc_address,
        "udp_port": args.udp_port,
        "base_address": args.base_address,
        "count": args.count,
        "id_start": args.id_start,
        "ftp_port": args.ftp_port,
        "ftpauth": args.ftpauth,
        "root": args.root,
        "report": args.report,
        "report_interval_s": args.report_interval_s,
        "control_port": args.control_port,
        "notify_stagger_ms": args.notify_stagger_ms,
        "exit_after_burst": True if args.exit_after_burst else None,
        "exit_on_eof": True if args.exit_on_eof else None,
        "keep_records": False if args.counts_only else None,
    }
    sets = config.parse_assignments(args.set)
    if args.no_ftp:
        sets["ftp"] = False
    if args.notify_interval is not None:
        sets["notify_interval_s"] = args.notify_interval
    if args.no_start_notify:
        sets["notify_at_start"] = False
    if args.account:
        accounts = config.parse_accounts(scenario.get("accounts", {}))
        for item in args.account:
            parts = item.split(":", 2)
            if len(parts) != 3:
                raise config.ConfigError("--account: expected MODEL:USER:PASSWORD, got %r" % item)
            accounts[parts[0]] = (parts[1], parts[2])
        overrides["accounts"] = {m: list(a) for m, a in accounts.items()}
    burst = dict(scenario.get("burst") or {})
    for key, val in (
        ("count", args.burst_count),
        ("rate", args.burst_rate),
        ("id_start", args.burst_id_start),
        ("addr_base", args.burst_addr_base),
        ("port", args.burst_port),
        ("idle_s", args.burst_idle),
        ("max_s", args.burst_max),
        ("detail", True if args.burst_detail else None),
    ):
        if val is not None:
            burst[key] = val
    if burst or scenario.get("burst") is not None:
        overrides["burst"] = burst
    return config.build(scenario, overrides, sets)


def die_with_parent():
    # A test that crashes must not leave its terminals running.
    try:
        import ctypes

        libc = ctypes.CDLL(None, use_errno=True)
        pr_set_pdeathsig = 1
        libc.prctl(pr_set_pdeathsig, signal.SIGTERM)
    except (OSError, AttributeError):
        print("termsim: --die-with-parent is not available here", file=sys.stderr)
    if os.getppid() == 1:
        sys.exit(0)  # the parent is gone already


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    level = logging.WARNING if args.verbose == 0 else logging.INFO if args.verbose == 1 else logging.DEBUG
    logging.basicConfig(level=level, stream=sys.stderr, format="termsim %(levelname)s %(name)s: %(message)s")
    try:
        cfg = make_config(args)
    except config.ConfigError as err:
        print("termsim: %s" % err, file=sys.stderr)
        return 2
    if args.die_with_parent:
        die_with_parent()
    sim = Simulator(cfg)
    try:
        sim.setup()
    except StartError as err:
        print("termsim: %s" % err, file=sys.stderr)
        return 2
    return sim.run()


if __name__ == "__main__":
    sys.exit(main())
