#!/usr/bin/env python3
"""Writes commands/text/kanatables.cpp: the character mappings of the conversion commands over
Shift_JIS (code page 932) codes. Run once by hand when a rule changes; the output is checked in.

    python3 tools/gen_kanatables.py > commands/text/kanatables.cpp

A code below 0x100 is one byte; anything else is two bytes, high byte first (so 0xB6DE is the
half-width pair "ｶﾞ" and 0x834B the double-byte "ガ").
"""
import unicodedata


def text_of(code):
    b = bytes([code]) if code < 0x100 else bytes([code >> 8, code & 0xFF])
    try:
        return b.decode("cp932")
    except UnicodeDecodeError:
        return None


def code_of(text):
    try:
        b = text.encode("cp932")
    except UnicodeEncodeError:
        return None
    if len(b) == 1:
        return b[0]
    if len(b) == 2:
        return (b[0] << 8) | b[1]
    return None


def double_codes():
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
        for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
            code = (lead << 8) | trail
            if text_of(code) is not None:
                yield code


DOUBLES = list(double_codes())
SINGLES = list(range(0x20, 0x7F)) + list(range(0xA1, 0xE0))

# ---- width ----
# Half-width to full-width, one byte at a time. ASCII goes to the full-width forms block, except
# where that block's character lies outside JIS X 0208 in Shift_JIS (the quotes) or where the
# Japanese form is the yen sign; the right half (A1-DF) by its compatibility decomposition, the
# voiced marks to the spacing marks.
to_full = {0x20: 0x8140, 0xA0: 0x8140}  # A0 sits where a blank would: the full-width space
for c in range(0x21, 0x7F):
    to_full[c] = code_of(chr(0xFF00 + c - 0x20))
to_full[ord('"')] = code_of("\u201d")   # ” rather than the IBM ＂
to_full[ord("'")] = code_of("\u2019")   # ’ rather than the IBM ＇
to_full[ord("\\")] = code_of("\uffe5")  # ￥
for c in range(0xA1, 0xE0):
    to_full[c] = code_of(unicodedata.normalize("NFKC", text_of(c)))
to_full[0xDE] = code_of("\u309b")  # ゛
to_full[0xDF] = code_of("\u309c")  # ゜
assert all(v is not None and v >= 0x100 for v in to_full.values())

# A half-width kana with a following voiced (DE) or semi-voiced (DF) mark that Shift_JIS holds
# as one character: ｳﾞ, ｶ-ﾄ and ﾊ-ﾎ with ﾞ, ﾊ-ﾎ with ﾟ.
voiced, semi_voiced = {}, {}
for c in range(0xA6, 0xDE):
    for mark, table in ((0xDE, voiced), (0xDF, semi_voiced)):
        composed = unicodedata.normalize("NFKC", text_of(c) + text_of(mark))
        if len(composed) == 1:
            code = code_of(composed)
            if code is not None:
                table[c] = code

# Full-width to half-width: the reverse of the above (composed kana to their pairs), and the
# full-width characters with two half-width readings.
to_half = {}
for c, f in sorted(to_full.items()):
    if c != 0xA0:
        to_half.setdefault(f, c)
for c, f in voiced.items():
    to_half[f] = (c << 8) | 0xDE
for c, f in semi_voiced.items():
    to_half[f] = (c << 8) | 0xDF
extra = {"\uff3c": "\\", "\u201c": '"', "\u2018": "`", "\uffe3": "~", "\uff02": '"', "\uff07": "'"}
for full, half in extra.items():
    for code in DOUBLES:
        if text_of(code) == full:
            to_half[code] = ord(half)

# ---- case ----
upper, lower = {}, {}
for code in list(range(0x41, 0x5B)) + list(range(0x61, 0x7B)) + DOUBLES:
    t = text_of(code)
    for table, fn in ((upper, str.upper), (lower, str.lower)):
        m = fn(t)
        if m != t and len(m) == 1:
            # The twin outside the IBM rows where the character has one (Ⅰ is 8754, not FA4A).
            target = min((c for c in SINGLES + DOUBLES if text_of(c) == m), default=None)
            if target is not None:
                table[code] = target

# ---- kana ----
hiragana, katakana = {}, {}
for code in DOUBLES:
    u = ord(text_of(code))
    if 0x3041 <= u <= 0x3096 or u in (0x309D, 0x309E):
        k = code_of(chr(u + 0x60))
        if k is not None:
            katakana[code] = k
    if 0x30A1 <= u <= 0x30F6 or u in (0x30FD, 0x30FE):
        h = code_of(chr(u - 0x60))
        if h is not None:
            hiragana[code] = h

# ---- IBM extension rows (FA-FC) to their NEC-selected twins in JIS X 0208 rows ----
ibm_to_nec = {}
for code in DOUBLES:
    if code >= 0xFA40:
        t = text_of(code)
        twin = min((c for c in DOUBLES if c < 0xF040 and text_of(c) == t), default=None)
        assert twin is not None, hex(code)
        ibm_to_nec[code] = twin


def show(code):
    if code < 0x100:
        t = text_of(code) if code >= 0x20 else None
        # A backslash could end a comment line and join the next line to it.
        return t if t is not None and code not in (0x5C, 0xA0) else "x%02X" % code
    if code >> 8 < 0x81 or 0x9F < code >> 8 < 0xE0:
        return text_of(code >> 8) + text_of(code & 0xFF)
    return text_of(code)


spans = []


def emit(name, comment, table):
    print("// " + comment)
    print("const TCodePair %sData[] = {" % name)
    items = sorted(table.items())
    for i in range(0, len(items), 4):
        row = items[i:i + 4]
        pairs = ", ".join("{0x%04X, 0x%04X}" % (f, t) for f, t in row)
        note = " ".join("%s>%s" % (show(f), show(t)) for f, t in row)
        print("    %s,  // %s" % (pairs, note))
    print("};")
    print()
    spans.append(name)


print("""// Generated by tools/gen_kanatables.py from the code page's own character list; edit the
// generator, not this file. A code below 0x100 is one byte, any other two (high byte first).
#include "commands/text/kanatables.h"

namespace yume {

namespace {

// Four pairs a line, each line with the characters it maps.
// clang-format off
""")
emit("kToFullWidth", "Half-width to full-width, byte by byte.", to_full)
emit("kVoiced", "A half-width kana followed by a voiced mark (DE), as one character.", voiced)
emit("kSemiVoiced", "The same with a semi-voiced mark (DF).", semi_voiced)
emit("kToHalfWidth", "Full-width to half-width (a voiced kana becomes two bytes).", to_half)
emit("kToUpper", "Letters to upper case.", upper)
emit("kToLower", "Letters to lower case.", lower)
emit("kToHiragana", "Katakana to hiragana (ヴ, ヵ and ヶ have none).", hiragana)
emit("kToKatakana", "Hiragana to katakana.", katakana)
emit("kIbmToNec", "IBM extension codes to their NEC-selected twins.", ibm_to_nec)
print("// clang-format on\n\n}  // namespace\n")
for name in spans:
    print("const std::span<const TCodePair> %s(%sData);" % (name, name))
print("\n}  // namespace yume")
