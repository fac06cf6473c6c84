#!/usr/bin/env python3
"""Copies sources for a compiler that only knows UTF-8 as its execution
character set: every non-ASCII character becomes octal escapes of its GB18030
bytes, so a narrow literal holds the same code page 936 bytes as in the
GCC build (which converts with -fexec-charset=GB18030). In comments the
escapes are just text. The sources hold no raw or wide literal with such a
character (checked here). Usage: gbk_literals.py SOURCE_ROOT OUT_ROOT STAMP FILE...
"""
import os
import re
import sys

WIDE_OR_RAW = re.compile(r'(\b(?:u8|u|U|L)"|R"[^(\s]*\()[^"\n]*[^\x00-\x7f]')


def escaped(text):
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            # Octal escapes take at most three digits, so a following digit stays itself.
            out.append("".join("\\%03o" % b for b in ch.encode("gb18030")))
    return "".join(out)


def main():
    source_root, out_root, stamp, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    for path in files:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        bad = WIDE_OR_RAW.search(text)
        if bad:
            sys.exit("%s: non-ASCII text in a wide or raw literal: %s" % (path, bad.group(0)))
        target = os.path.join(out_root, os.path.relpath(path, source_root))
        new = escaped(text)
        try:
            with open(target, encoding="ascii") as f:
                if f.read() == new:
                    continue  # unchanged: keep its time so nothing rebuilds
        except (OSError, UnicodeDecodeError):
            pass
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "w", encoding="ascii", newline="") as f:
            f.write(new)
    with open(stamp, "w") as f:
        f.write("")


if __name__ == "__main__":
    main()
