"""Datagram layouts between the management PC and a terminal.

Every message starts with a 16-bit big-endian code. The terminal side is
built here (TermNotify, TermRequest, the session answers); the PC side is
both decoded (for the records) and built (for the self-test's stand-in PC).
"""

import socket
import struct

# Codes sent by the PC.
TERM_NOTIFY_ACK = 0x0010
TERM_INFO_REQ = 0x0020
REMOTE_OPEN_REQ = 0x0030
REMOTE_CLOSE_REQ = 0x0040
TERM_REQUEST_ACCEPT = 0x0050
TERM_REQUEST_RESULT = 0x0058

# Codes sent by a terminal.
TERM_NOTIFY = 0x8010
REMOTE_OPEN_ACK = 0x8030
REMOTE_OPEN_NAK = 0x8038
REMOTE_CLOSE_ACK = 0x8040
TERM_REQUEST = 0x8050

NAMES = {
    TERM_NOTIFY_ACK: "TermNotifyAck",
    TERM_INFO_REQ: "TermInfoReq",
    REMOTE_OPEN_REQ: "RemoteOpenReq",
    REMOTE_CLOSE_REQ: "RemoteCloseReq",
    TERM_REQUEST_ACCEPT: "TermRequestAccept",
    TERM_REQUEST_RESULT: "TermRequestResult",
    TERM_NOTIFY: "TermNotify",
    REMOTE_OPEN_ACK: "RemoteOpenAck",
    REMOTE_OPEN_NAK: "RemoteOpenNak",
    REMOTE_CLOSE_ACK: "RemoteCloseAck",
    TERM_REQUEST: "TermRequest",
}
CODES = {name: code for code, name in NAMES.items()}

# Sizes the PC sends; anything else is flagged in the records.
PC_SIZES = {
    TERM_NOTIFY_ACK: 12,
    TERM_INFO_REQ: 4,
    REMOTE_OPEN_REQ: 4,
    REMOTE_CLOSE_REQ: 6,
    TERM_REQUEST_ACCEPT: 4,
    TERM_REQUEST_RESULT: 6,
}

LONG_SIZE = 326
ADDRESS_OFFSET = 68
REGIST_OFFSET = 72
SELECT_OFFSET = 324
STAMP_ITEM = 16

# Text fields of the two long terminal messages: key, offset, width.
TEXT_FIELDS = (
    ("terminal_id", 4, 64),
    ("vendor", 74, 20),
    ("machine_name", 94, 20),
    ("machine_type", 114, 20),
    ("type_info1", 134, 20),
    ("type_info2", 154, 20),
    ("ver_boot", 174, 10),
    ("ver_apli", 184, 10),
    ("ver_info1", 194, 10),
    ("ver_info2", 204, 10),
    ("ver_info3", 214, 10),
    ("mac", 224, 50),
    ("user_info2", 274, 50),
)
TEXT_WIDTH = {key: width for key, _, width in TEXT_FIELDS}
TEXT_ENCODING = "cp932"


class CodecError(ValueError):
    """A value that does not fit its datagram field."""


def encode_text(value, width, key="text"):
    """Text field bytes: CP932, NUL-padded to width; a full field has no NUL."""
    if isinstance(value, (bytes, bytearray)):
        raw = bytes(value)
    else:
        try:
            raw = str(value).encode(TEXT_ENCODING)
        except UnicodeEncodeError as err:
            raise CodecError("%s: not representable in Shift-JIS: %r" % (key, value)) from err
    if len(raw) > width:
        raise CodecError("%s: %d bytes do not fit the %d-byte field: %r" % (key, len(raw), width, value))
    return raw + b"\0" * (width - len(raw))


def decode_text(raw):
    """A NUL-terminated field as text (undecodable bytes kept as escapes)."""
    end = raw.find(b"\0")
    if end >= 0:
        raw = raw[:end]
    return raw.decode(TEXT_ENCODING, errors="backslashreplace")


def check_u16(value, key):
    if not isinstance(value, int) or isinstance(value, bool) or not 0 <= value <= 0xFFFF:
        raise CodecError("%s: %r is not a 16-bit number" % (key, value))
    return value


def pack_address(address):
    try:
        return socket.inet_aton(address)
    except (OSError, TypeError) as err:
        raise CodecError("not an IPv4 address: %r" % (address,)) from err


def stamp_field(stamps):
    """The 50-byte item list of a TermRequest: three 16-character items
    separated by commas. Items are blank-padded so that the field stays one
    text up to its end (a NUL would end it before the first comma)."""
    if len(stamps) != 3:
        raise CodecError("stamps: need exactly three items, got %d" % len(stamps))
    items = []
    for n, item in enumerate(stamps, 1):
        text = "" if item is None else str(item)
        raw = text.encode(TEXT_ENCODING, errors="strict")
        if len(raw) > STAMP_ITEM:
            raise CodecError("stamp item %d longer than %d characters: %r" % (n, STAMP_ITEM, text))
        items.append(raw + b" " * (STAMP_ITEM - len(raw)))
    return b",".join(items)


def build_long(code, fields, address, regist=0, word2=0, word324=0, size=LONG_SIZE, pad=0):
    """TermNotify or TermRequest. fields maps the keys of TEXT_FIELDS to
    texts; missing keys are empty. size other than 326 cuts or extends the
    datagram (extension bytes are `pad`) to test the PC's receive limit."""
    buf = bytearray(LONG_SIZE)
    struct.pack_into(">HH", buf, 0, code, check_u16(word2, "offset 2"))
    for key, offset, width in TEXT_FIELDS:
        buf[offset : offset + width] = encode_text(fields.get(key, ""), width, key)
    buf[ADDRESS_OFFSET : ADDRESS_OFFSET + 4] = pack_address(address)
    struct.pack_into(">H", buf, REGIST_OFFSET, check_u16(regist, "regist"))
    struct.pack_into(">H", buf, SELECT_OFFSET, check_u16(word324, "offset 324"))
    if size < LONG_SIZE:
        return bytes(buf[:size])
    return bytes(buf) + bytes([pad]) * (size - LONG_SIZE)


def term_notify(fields, address, regist, size=LONG_SIZE):
    return build_long(TERM_NOTIFY, fields, address, regist, size=size)


def term_request(fields, address, regist, seq, selection, size=LONG_SIZE):
    return build_long(TERM_REQUEST, fields, address, regist, word2=seq, word324=selection, size=size)


def remote_open_ack():
    return struct.pack(">HH", REMOTE_OPEN_ACK, 0)


def remote_open_nak(reason):
    return struct.pack(">HHH", REMOTE_OPEN_NAK, 0, check_u16(reason, "nak reason"))


def remote_close_ack():
    return struct.pack(">HH", REMOTE_CLOSE_ACK, 0)


# --- PC side (stand-in PC of the self-test; byte layout as the PC must send)


def bcd(n):
    """BCD byte of the last two decimal digits of n."""
    n = n % 100
    return (n // 10) * 16 + n % 10


def term_notify_ack(year, month, day, weekday, hour, minute, second, entry_int):
    return struct.pack(
        ">HH8B",
        TERM_NOTIFY_ACK,
        0,
        bcd(year),
        bcd(month),
        bcd(day),
        weekday,
        bcd(hour),
        bcd(minute),
        bcd(second),
        entry_int,
    )


def term_info_req():
    return struct.pack(">HH", TERM_INFO_REQ, 0)


def remote_open_req():
    return struct.pack(">H", REMOTE_OPEN_REQ) + struct.pack("<H", 1)


def remote_close_req(restart):
    return struct.pack(">HHH", REMOTE_CLOSE_REQ, 0, restart)


def term_request_accept(seq):
    return struct.pack(">H", TERM_REQUEST_ACCEPT) + struct.pack("<H", seq)


def term_request_result(seq, result):
    return struct.pack(">HHH", TERM_REQUEST_RESULT, seq, result)


# --- decoding


def unbcd(byte):
    """Value of a BCD byte, or None when a nibble is not a decimal digit."""
    hi, lo = byte >> 4, byte & 0x0F
    if hi > 9 or lo > 9:
        return None
    return hi * 10 + lo


def _u16be(data, offset):
    return struct.unpack_from(">H", data, offset)[0] if len(data) >= offset + 2 else None


def _u16le(data, offset):
    return struct.unpack_from("<H", data, offset)[0] if len(data) >= offset + 2 else None


def decode(data):
    """(code, name, fields) of a datagram of either side. Unknown codes and
    datagrams shorter than a code give name "unknown"."""
    if len(data) < 2:
        return None, "unknown", {}
    code = struct.unpack_from(">H", data, 0)[0]
    name = NAMES.get(code, "unknown")
    fields = {}
    if code in PC_SIZES:
        fields["size_ok"] = len(data) == PC_SIZES[code]
    if code == TERM_NOTIFY_ACK:
        fields.update(_decode_notify_ack(data))
    elif code == TERM_INFO_REQ:
        fields["word2"] = _u16be(data, 2)
    elif code == REMOTE_OPEN_REQ:
        fields["word2_le"] = _u16le(data, 2)
    elif code == REMOTE_CLOSE_REQ:
        fields["restart"] = _u16be(data, 4)
    elif code == TERM_REQUEST_ACCEPT:
        fields["seq"] = _u16le(data, 2)
    elif code == TERM_REQUEST_RESULT:
        fields["seq"] = _u16be(data, 2)
        fields["result"] = _u16be(data, 4)
    elif code == REMOTE_OPEN_NAK:
        fields["reason"] = _u16be(data, 4)
    elif code in (TERM_NOTIFY, TERM_REQUEST):
        fields.update(decode_long(data))
    return code, name, fields


def _decode_notify_ack(data):
    if len(data) < 12:
        return {"truncated": True}
    raw = data[4:11]
    values = [unbcd(b) for b in raw]
    out = {
        "year": values[0],
        "month": values[1],
        "day": values[2],
        "weekday": data[7],
        "hour": values[4],
        "minute": values[5],
        "second": values[6],
        "entry_int": data[11],
        "word2": _u16be(data, 2),
    }
    # The weekday byte is binary, not BCD; it is checked on its own.
    out["bcd_ok"] = all(v is not None for i, v in enumerate(values) if i != 3)
    out["weekday_ok"] = data[7] <= 6
    if out["bcd_ok"]:
        out["text"] = "%02d-%02d-%02d %02d:%02d:%02d" % (
            out["year"],
            out["month"],
            out["day"],
            out["hour"],
            out["minute"],
            out["second"],
        )
    return out


def decode_long(data):
    """Fields of a TermNotify or TermRequest (missing tail reads as empty)."""
    buf = bytes(data[:LONG_SIZE]).ljust(LONG_SIZE, b"\0")
    out = {key: decode_text(buf[off : off + width]) for key, off, width in TEXT_FIELDS}
    out["address"] = socket.inet_ntoa(buf[ADDRESS_OFFSET : ADDRESS_OFFSET + 4])
    out["regist"] = _u16be(buf, REGIST_OFFSET)
    out["word2"] = _u16be(buf, 2)
    out["word324"] = _u16be(buf, SELECT_OFFSET)
    field = buf[274:324]
    if field[16:17] == b",":
        out["stamps"] = [decode_text(field[i : i + STAMP_ITEM]).rstrip(" ") for i in (0, 17, 34)]
    return out
