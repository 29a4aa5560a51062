"""Configuration: built-in defaults, the JSON scenario file and the command
line, merged into one resolved setting per terminal.

Precedence, lowest first: built-in defaults, the scenario's "defaults",
--set options, the scenario's entry for that terminal.
"""

import copy
import ipaddress
import json
import re

from . import codec


class ConfigError(ValueError):
    pass


# Keys a terminal can carry, with their built-in values. None for address,
# payload_address, terminal_id and mac means "derived from the index".
TERMINAL_DEFAULTS = {
    "address": None,
    "payload_address": None,
    "terminal_id": None,
    "mac": None,
    "regist": 1,
    "vendor": "KEL",
    "machine_name": "KT-100",
    "machine_type": "IPPHONE",
    "type_info1": "",
    "type_info2": "",
    "ver_boot": "1.00",
    "ver_apli": "1.00",
    "ver_info1": "",
    "ver_info2": "",
    "ver_info3": "",
    "user_info2": "",
    "notify_size": codec.LONG_SIZE,
    "notify_at_start": True,
    "notify_interval_s": 0,
    "notify_on_inforeq": True,
    "notify_after_restart_s": None,
    "restart_ver_boot": None,
    "restart_ver_apli": None,
    "silent_after_restart": False,
    "reply_delay_ms": 0,
    "source_port": None,
    "open": "ack",
    "close": "ack",
    "ftp": True,
    "ftp_user": None,
    "ftp_password": None,
    "ftp_requires_session": False,
    "ftp_fault": "none",
    "fault_on": "any",
    "fault_after": None,
    "fault_count": None,
    "fault_files": "*",
    "stall_s": None,
    "ascii_convert": False,
    "files": None,
    "request_select": 4,
    "stamps": None,
    "seq_start": 1,
    "adopt_sip_address": False,
}

# Keys that can't change once the sockets are bound.
BIND_KEYS = {"address", "ftp", "source_port"}

_OPEN_RE = re.compile(r"^(ack|silent|nak(\d+))$")
_FAULTS = ("none", "login", "cut", "drop", "stall")
_FAULT_ON = ("any", "retr", "stor")
_BOOL_TEXT = {"true": True, "false": False, "1": True, "0": False, "yes": True, "no": False}


def loopback_address(value, key):
    try:
        addr = ipaddress.IPv4Address(str(value))
    except ValueError as err:
        raise ConfigError("%s: not an IPv4 address: %r" % (key, value)) from err
    if not addr.is_loopback:
        raise ConfigError("%s: %s is not a loopback address (127.x.x.x)" % (key, addr))
    if str(addr) == "127.0.0.1":
        raise ConfigError("%s: 127.0.0.1 is the management PC's side; use another 127.x.x.x" % key)
    return str(addr)


def _ipv4(value, key):
    try:
        return str(ipaddress.IPv4Address(str(value)))
    except ValueError as err:
        raise ConfigError("%s: not an IPv4 address: %r" % (key, value)) from err


def _bool(value, key):
    if isinstance(value, bool):
        return value
    if isinstance(value, str) and value.lower() in _BOOL_TEXT:
        return _BOOL_TEXT[value.lower()]
    if isinstance(value, int) and value in (0, 1):
        return bool(value)
    raise ConfigError("%s: expected true or false, got %r" % (key, value))


def _int(value, key, lo=None, hi=None, optional=False):
    if value is None and optional:
        return None
    if isinstance(value, bool) or not isinstance(value, int):
        if isinstance(value, str) and re.fullmatch(r"-?\d+", value.strip()):
            value = int(value)
        else:
            raise ConfigError("%s: expected a whole number, got %r" % (key, value))
    if (lo is not None and value < lo) or (hi is not None and value > hi):
        raise ConfigError("%s: %d is outside %s..%s" % (key, value, lo, hi))
    return value


def _num(value, key, optional=False):
    if value is None and optional:
        return None
    if isinstance(value, bool):
        raise ConfigError("%s: expected a number, got %r" % (key, value))
    try:
        out = float(value)
    except (TypeError, ValueError) as err:
        raise ConfigError("%s: expected a number, got %r" % (key, value)) from err
    if out < 0:
        raise ConfigError("%s: must not be negative" % key)
    return out


def _text(value, key):
    if value is None:
        value = ""
    if not isinstance(value, str):
        raise ConfigError("%s: expected a text, got %r" % (key, value))
    try:
        codec.encode_text(value, codec.TEXT_WIDTH[key], key)
    except codec.CodecError as err:
        raise ConfigError(str(err)) from err
    return value


def _behaviour(value, key, allowed_re):
    items = value if isinstance(value, list) else [value]
    if not items:
        raise ConfigError("%s: empty list" % key)
    for item in items:
        if not isinstance(item, str) or not allowed_re.match(item):
            raise ConfigError("%s: unknown answer %r" % (key, item))
        m = _OPEN_RE.match(item)
        if m and m.group(2) is not None and int(m.group(2)) > 0xFFFF:
            raise ConfigError("%s: nak reason %s is not 16-bit" % (key, m.group(2)))
    return list(items) if isinstance(value, list) else value


def _files(value, key):
    if value is None:
        return None
    if not isinstance(value, dict):
        raise ConfigError("%s: expected an object of file name to content" % key)
    for name, content in value.items():
        if "/" in name or name in ("", ".", ".."):
            raise ConfigError("%s: file name must be a plain name: %r" % (key, name))
        if isinstance(content, dict):
            if set(content) != {"hex"}:
                raise ConfigError('%s: %s: give a text or {"hex": ...}' % (key, name))
            try:
                bytes.fromhex(content["hex"])
            except (TypeError, ValueError) as err:
                raise ConfigError("%s: %s: bad hex" % (key, name)) from err
        elif not isinstance(content, str):
            raise ConfigError("%s: %s: give a text or {\"hex\": ...}" % (key, name))
    return dict(value)


def _stamps(value, key):
    if value is None:
        return None
    if isinstance(value, str):
        value = value.split(",")
    if not isinstance(value, list) or len(value) != 3:
        raise ConfigError("%s: give three items (or null)" % key)
    out = []
    for item in value:
        item = "" if item is None else str(item)
        if len(item.encode(codec.TEXT_ENCODING, errors="replace")) > codec.STAMP_ITEM:
            raise ConfigError("%s: item longer than 16 characters: %r" % (key, item))
        out.append(item)
    return out


def check_terminal_value(key, value):
    """Normalised value of one terminal key, or ConfigError."""
    if key not in TERMINAL_DEFAULTS:
        raise ConfigError("unknown terminal key %r (known: %s)" % (key, ", ".join(sorted(TERMINAL_DEFAULTS))))
    if key == "address":
        return None if value is None else loopback_address(value, key)
    if key == "payload_address":
        return None if value is None else _ipv4(value, key)
    if key in ("terminal_id", "mac"):
        # A terminal ID of digits arrives as a JSON number.
        if isinstance(value, int) and not isinstance(value, bool):
            value = str(value)
        return None if value is None else _text(value, key)
    if key in codec.TEXT_WIDTH:
        return _text(value, key)
    if key in ("regist",):
        return _int(value, key, 0, 0xFFFF)
    if key == "notify_size":
        return _int(value, key, 0, 65507)
    if key in ("request_select", "seq_start"):
        return _int(value, key, 0, 0xFFFF)
    if key in ("notify_at_start", "notify_on_inforeq", "ftp", "ftp_requires_session", "ascii_convert",
               "adopt_sip_address", "silent_after_restart"):
        return _bool(value, key)
    if key in ("restart_ver_boot", "restart_ver_apli"):
        # The version the terminal reports once it has restarted (None: it keeps its own).
        return None if value is None else _text(value, key[len("restart_"):])
    if key in ("notify_interval_s", "reply_delay_ms"):
        return _num(value, key)
    if key in ("notify_after_restart_s", "stall_s"):
        return _num(value, key, optional=True)
    if key == "source_port":
        return _int(value, key, 0, 65535, optional=True)
    if key in ("fault_after", "fault_count"):
        return _int(value, key, 0, None, optional=True)
    if key == "open":
        return _behaviour(value, key, _OPEN_RE)
    if key == "close":
        return _behaviour(value, key, re.compile(r"^(ack|silent)$"))
    if key == "ftp_fault":
        if value not in _FAULTS:
            raise ConfigError("ftp_fault: one of %s, got %r" % (", ".join(_FAULTS), value))
        return value
    if key == "fault_on":
        if value not in _FAULT_ON:
            raise ConfigError("fault_on: one of %s, got %r" % (", ".join(_FAULT_ON), value))
        return value
    if key == "fault_files":
        if not isinstance(value, str) or not value:
            raise ConfigError("fault_files: give a file name pattern")
        return value
    if key in ("ftp_user", "ftp_password"):
        if value is not None and not isinstance(value, str):
            raise ConfigError("%s: expected a text or null" % key)
        return value
    if key == "files":
        return _files(value, key)
    if key == "stamps":
        return _stamps(value, key)
    raise ConfigError("unhandled key %r" % key)  # table above covers every key


def parse_value(text):
    """A command-line or control value: JSON when it parses, else the text."""
    try:
        return json.loads(text)
    except ValueError:
        return text


def parse_assignments(tokens):
    """["k=v", ...] into {k: parsed v}."""
    out = {}
    for tok in tokens:
        if "=" not in tok:
            raise ConfigError("expected key=value, got %r" % tok)
        key, _, val = tok.partition("=")
        key = key.strip()
        value = parse_value(val)
        # A text field given as a number ("ver_apli=2.00") keeps its text.
        is_text = key in codec.TEXT_WIDTH or key.startswith("restart_ver_")
        if is_text and isinstance(value, (int, float)) and not isinstance(value, bool):
            value = val.strip()
        out[key] = value
    return out


# --- accounts


def read_ini(path):
    """Sections of an INI file in Windows profile style: names compared
    without case, first occurrence wins, values trimmed. Text is CP932."""
    with open(path, "rb") as fh:
        text = fh.read().decode("cp932", errors="replace")
    sections = {}
    current = None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("["):
            end = stripped.find("]")
            name = stripped[1:end if end >= 0 else None].strip().lower()
            current = sections.setdefault(name, {})
            continue
        if current is None or "=" not in stripped or stripped.startswith(";"):
            continue
        key, _, val = stripped.partition("=")
        current.setdefault(key.strip().lower(), val.strip())
    return sections


def profile_int(text, default=0):
    """Integer as the profile API reads it: "0x"/"&h" hexadecimal, else
    leading decimal digits."""
    if text is None:
        return default
    t = text.strip()
    if t[:2].lower() in ("0x", "&h"):
        m = re.match(r"[0-9a-fA-F]{1,8}", t[2:])
        return int(m.group(0), 16) if m else 0
    m = re.match(r"[+-]?\d+", t)
    return int(m.group(0)) if m else default


def read_ftpauth(path):
    """Accounts of the PC's account file: {model: (user, password)}; a sole
    "Supervisor" set serves every model and is returned under "*"."""
    sections = read_ini(path)
    count = min(profile_int(sections.get("system", {}).get("count"), 0), 16)
    accounts = {}
    sets = []
    for n in range(1, count + 1):
        sec = sections.get("modelset%d" % n, {})
        sets.append((sec.get("model", ""), sec.get("id", ""), sec.get("pw", "")))
    if count == 1 and sets[0][0] == "Supervisor":
        return {"*": (sets[0][1], sets[0][2])}
    for model, user, pw in sets:
        accounts.setdefault(model, (user, pw))
    return accounts


def parse_accounts(value, key="accounts"):
    """{"MODEL": {"user": u, "password": p}} or {"MODEL": [u, p]}; "*" serves
    every model without its own account."""
    if not isinstance(value, dict):
        raise ConfigError("%s: expected an object of model to account" % key)
    out = {}
    for model, acc in value.items():
        if isinstance(acc, dict) and set(acc) <= {"user", "password"} and "user" in acc:
            out[model] = (str(acc["user"]), str(acc.get("password", "")))
        elif isinstance(acc, list) and len(acc) == 2:
            out[model] = (str(acc[0]), str(acc[1]))
        else:
            raise ConfigError('%s: %s: give {"user": ..., "password": ...}' % (key, model))
    return out


def resolve_account(term_cfg, accounts):
    """(user, password) the terminal's FTP server accepts, or None."""
    if term_cfg.get("ftp_user") is not None:
        return term_cfg["ftp_user"], term_cfg.get("ftp_password") or ""
    model = term_cfg.get("machine_name", "")
    if model in accounts:
        return accounts[model]
    return accounts.get("*")


# --- whole configuration

GLOBAL_DEFAULTS = {
    "pc_address": "127.0.0.1",
    "udp_port": 4000,
    "ftp_port": 21,
    "base_address": "127.0.0.2",
    "count": 1,
    "id_start": 1001,
    "root": None,
    "report": None,
    "report_interval_s": 0,
    "control_port": 0,
    "accounts": {},
    "ftpauth": None,
    "notify_stagger_ms": 0,
    "auth_failed_delay_s": 0.2,
    "exit_after_burst": False,
    "exit_on_eof": False,
    "keep_records": True,
    "burst": None,
    "defaults": {},
    "terminals": [],
}

BURST_DEFAULTS = {
    "count": 1000,
    "rate": 20000,
    "id_start": 200000,
    "addr_base": "127.1.0.0",
    "bind": "0.0.0.0",
    "port": 0,
    "idle_s": 5.0,
    "max_s": 0,
    "detail": False,
    "own_source": False,
    "machine_name": "KT-100",
    "vendor": "KEL",
}


def check_burst(params):
    out = dict(BURST_DEFAULTS)
    for key, val in (params or {}).items():
        if key not in BURST_DEFAULTS:
            raise ConfigError("unknown burst key %r (known: %s)" % (key, ", ".join(sorted(BURST_DEFAULTS))))
        out[key] = val
    out["count"] = _int(out["count"], "burst count", 1, 0xFFFFFF)
    out["rate"] = _num(out["rate"], "burst rate")
    out["id_start"] = _int(out["id_start"], "burst id_start", 0)
    out["addr_base"] = _ipv4(out["addr_base"], "burst addr_base")
    out["bind"] = _ipv4(out["bind"], "burst bind")
    out["port"] = _int(out["port"], "burst port", 0, 65535)
    out["idle_s"] = _num(out["idle_s"], "burst idle_s")
    out["max_s"] = _num(out["max_s"], "burst max_s")
    out["detail"] = _bool(out["detail"], "burst detail")
    out["own_source"] = _bool(out["own_source"], "burst own_source")
    out["machine_name"] = _text(out["machine_name"], "machine_name")
    out["vendor"] = _text(out["vendor"], "vendor")
    last = int(ipaddress.IPv4Address(out["addr_base"])) + out["count"]
    if last > 0xFFFFFFFF:
        raise ConfigError("burst: addresses run past 255.255.255.255")
    return out


def load_scenario(path):
    try:
        with open(path, "r", encoding="utf-8") as fh:
            data = json.load(fh)
    except OSError as err:
        raise ConfigError("scenario %s: %s" % (path, err.strerror)) from err
    except ValueError as err:
        raise ConfigError("scenario %s: not valid JSON: %s" % (path, err)) from err
    if not isinstance(data, dict):
        raise ConfigError("scenario %s: the top level must be an object" % path)
    unknown = set(data) - set(GLOBAL_DEFAULTS)
    if unknown:
        raise ConfigError("scenario %s: unknown keys %s" % (path, ", ".join(sorted(unknown))))
    return data


def derived_mac(address):
    """A locally administered MAC made from the address, so every terminal
    has its own."""
    b = ipaddress.IPv4Address(address).packed
    return "02:00:%02X:%02X:%02X:%02X" % tuple(b)


def build(scenario, overrides, sets):
    """Resolved configuration from a scenario dict (may be empty), global
    overrides (command-line values that were given) and --set assignments."""
    cfg = copy.deepcopy(GLOBAL_DEFAULTS)
    cfg.update(copy.deepcopy(scenario))
    cfg.update({k: v for k, v in overrides.items() if v is not None})

    cfg["pc_address"] = _ipv4(cfg["pc_address"], "pc_address")
    cfg["udp_port"] = _int(cfg["udp_port"], "udp_port", 1, 65535)
    cfg["ftp_port"] = _int(cfg["ftp_port"], "ftp_port", 0, 65535)
    cfg["base_address"] = loopback_address(cfg["base_address"], "base_address")
    cfg["count"] = _int(cfg["count"], "count", 0, 65535)
    cfg["id_start"] = _int(cfg["id_start"], "id_start", 0)
    cfg["report_interval_s"] = _num(cfg["report_interval_s"], "report_interval_s")
    cfg["control_port"] = _int(cfg["control_port"], "control_port", -1, 65535)
    cfg["notify_stagger_ms"] = _num(cfg["notify_stagger_ms"], "notify_stagger_ms")
    cfg["auth_failed_delay_s"] = _num(cfg["auth_failed_delay_s"], "auth_failed_delay_s")
    cfg["exit_after_burst"] = _bool(cfg["exit_after_burst"], "exit_after_burst")
    cfg["exit_on_eof"] = _bool(cfg["exit_on_eof"], "exit_on_eof")
    cfg["keep_records"] = _bool(cfg["keep_records"], "keep_records")
    cfg["accounts"] = parse_accounts(cfg["accounts"])
    if cfg["ftpauth"]:
        try:
            from_file = read_ftpauth(cfg["ftpauth"])
        except OSError as err:
            raise ConfigError("ftpauth %s: %s" % (cfg["ftpauth"], err.strerror)) from err
        # Accounts named in the scenario or on the command line come first.
        for model, acc in from_file.items():
            cfg["accounts"].setdefault(model, acc)
    if cfg["burst"] is not None:
        cfg["burst"] = check_burst(cfg["burst"])

    if not isinstance(cfg["defaults"], dict):
        raise ConfigError("defaults: expected an object")
    entries = cfg["terminals"]
    if not isinstance(entries, list) or not all(isinstance(e, dict) for e in entries):
        raise ConfigError("terminals: expected a list of objects")
    count = max(cfg["count"], len(entries))
    cfg["count"] = count

    common = dict(TERMINAL_DEFAULTS)
    for source in (cfg["defaults"], sets):
        for key, val in source.items():
            common[key] = check_terminal_value(key, val)

    base = int(ipaddress.IPv4Address(cfg["base_address"]))
    terminals = []
    seen = {}
    for i in range(count):
        t = dict(common)
        for key, val in (entries[i] if i < len(entries) else {}).items():
            t[key] = check_terminal_value(key, val)
        if t["address"] is None:
            t["address"] = loopback_address(str(ipaddress.IPv4Address(base + i)), "address of terminal %d" % i)
        if t["address"] in seen:
            raise ConfigError("terminals %d and %d share the address %s" % (seen[t["address"]], i, t["address"]))
        seen[t["address"]] = i
        if t["payload_address"] is None:
            t["payload_address"] = t["address"]
        if t["terminal_id"] is None:
            t["terminal_id"] = str(cfg["id_start"] + i)
        if t["mac"] is None:
            t["mac"] = derived_mac(t["address"])
        terminals.append(t)
    cfg["terminals"] = terminals
    return cfg
