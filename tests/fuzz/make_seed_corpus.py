#!/usr/bin/env python3
# Writes the seed corpora of the fuzz targets: readable scripts of Text operations and raw
# command lines, each under code page 1252 and 932. Run from anywhere; rewrites corpus/.
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))

CP1252 = 0
CP932 = 1

# Operation numbers, in the order of the text fuzzer's Operation enum.
OPERATIONS = [
    "construct", "construct_count", "copy", "pass_by_value", "assign", "assign_bytes",
    "assign_own_tail", "append_bytes", "append_text", "append_own_tail", "concat_bytes",
    "concat_text", "left", "right", "trim_right", "find", "find_text", "find_char", "equals",
    "replace", "ends_with_char",
]


class Script:
    """Builds input the way FuzzedDataProvider reads it: strings from the front, numbers from
    the back (the last byte first)."""

    def __init__(self, code_page):
        self.code_page = code_page
        self.front = bytearray()
        self.back = bytearray()

    def number(self, value, low, high):
        span = high - low
        assert span < 256 and low <= value <= high
        if span > 0:
            self.back.append(value - low)

    def boolean(self, value):
        self.back.append(1 if value else 0)

    def string(self, data):
        for byte in data:
            self.front += b"\\\\" if byte == 0x5C else bytes([byte])
        self.front += b"\\!"

    def step(self, slot, operation):
        self.number(slot, 0, 2)
        self.number(OPERATIONS.index(operation), 0, len(OPERATIONS) - 1)

    def data(self):
        return bytes([self.code_page]) + bytes(self.front) + bytes(reversed(self.back))


def text_seeds():
    seeds = {}

    # A row of the error list turned to CR LF line ends, then trimmed.
    s = Script(CP1252)
    s.step(0, "assign_bytes"); s.string(b"a\tb\tc\t\r\nd\te\t\t\n")
    s.step(0, "replace"); s.boolean(False); s.string(b"\n"); s.string(b"\r\n")
    s.step(0, "trim_right")
    seeds["replace_line_feeds_1252"] = s

    # Double-byte characters whose trail bytes are a backslash and a space.
    s = Script(CP932)
    s.step(0, "assign_bytes"); s.string(b"C:\\\x83\x5c\\\x81\x20 \t")
    s.step(0, "find_char"); s.number(0x5C + 128, 0, 255); s.boolean(False); s.number(0, 0, 12)
    s.step(0, "trim_right")
    s.step(1, "copy"); s.number(0, 0, 2)
    seeds["trail_backslash_and_blank_932"] = s

    # A lead byte left last by assignment, then copied, cut and joined.
    s = Script(CP932)
    s.step(1, "assign_bytes"); s.string(b"ab\x81\x81\x81")
    s.step(1, "left"); s.boolean(False); s.number(4, -2, 7)
    s.step(1, "right"); s.boolean(False); s.number(1, -2, 7)
    s.step(1, "concat_bytes"); s.string(b"x")
    s.step(2, "copy"); s.number(1, 0, 2)
    seeds["lone_lead_byte_932"] = s

    # A search that must skip a match beginning on a trail byte.
    s = Script(CP932)
    s.step(0, "assign_bytes"); s.string(b"\x81CS3 CS3")
    s.step(0, "find"); s.boolean(False); s.string(b"CS3"); s.boolean(False); s.number(0, 0, 10)
    s.step(0, "equals"); s.boolean(True); s.boolean(False)
    seeds["find_mark_after_trail_932"] = s

    # Appends that read from the text being appended to.
    s = Script(CP1252)
    s.step(2, "assign_bytes"); s.string(b"Compiler Errors")
    s.step(2, "append_own_tail"); s.number(9, 0, 15)
    s.step(2, "append_text"); s.number(2, 0, 2)
    s.step(2, "assign_own_tail"); s.number(3, 0, 42)
    s.step(0, "assign"); s.number(2, 0, 2)
    seeds["self_append_1252"] = s

    # Overlapping candidates: aaa with aa replaced once.
    s = Script(CP1252)
    s.step(0, "assign_bytes"); s.string(b"aaaaa")
    s.step(0, "replace"); s.boolean(False); s.string(b"aa"); s.string(b"b")
    s.step(0, "ends_with_char"); s.number(ord("a") + 128, 0, 255)
    seeds["replace_no_overlap_1252"] = s
    return seeds


def command_line_seeds():
    return {
        "quoted_name_1252": bytes([CP1252]) + b'"C:\\Program Files\\kelvane.exe" C:\\work\\a.fla ',
        "unquoted_name_1252": bytes([CP1252]) + b"kelvane.exe \t C:\\my files\\intro.fla",
        "high_bytes_in_name_1252": bytes([CP1252]) + b"C:\\\xe9t\xe9\\k.exe C:\\a.fla",
        "quote_as_trail_byte_932": bytes([CP932]) + b'"C:\\\x81"\\k.exe" "C:\\a.fla"',
        "unterminated_after_lead_932": bytes([CP932]) + b'"C:\\k\x81',
        "name_only_932": bytes([CP932]) + b"kelvane.exe",
    }


def write(directory, seeds):
    shutil.rmtree(directory, ignore_errors=True)
    os.makedirs(directory)
    for name, seed in seeds.items():
        data = seed.data() if isinstance(seed, Script) else seed
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)


write(os.path.join(HERE, "corpus", "text"), text_seeds())
write(os.path.join(HERE, "corpus", "command_line"), command_line_seeds())
