#!/usr/bin/env python3
"""What takes the space in a linked program: the bytes of the input sections that a GNU ld
map file shows kept, summed by library and by object (debug sections left out)."""

import collections
import re
import sys


def kept_sections(lines):
    started = False
    for i, line in enumerate(lines):
        if line.startswith("Linker script and memory map"):
            started = True
        if not started:
            continue
        m = re.match(r"^ (\.\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if m:
            yield m.group(1), int(m.group(2), 16), m.group(3)
            continue
        # A long section name puts the address, size and file on the next line.
        m = re.match(r"^ (\.\S+)$", line)
        if m and i + 1 < len(lines):
            n = re.match(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", lines[i + 1])
            if n:
                yield m.group(1), int(n.group(1), 16), n.group(2)


def main():
    lines = open(sys.argv[1]).read().split("\n")
    by_library, by_object, by_section = collections.Counter(), collections.Counter(), collections.Counter()
    for section, size, source in kept_sections(lines):
        if section.startswith(".debug"):
            continue
        name = re.sub(r".*/", "", source)
        by_object[name] += size
        by_library[re.sub(r"\(.*", "", name)] += size
        by_section[re.match(r"\.[A-Za-z_]*", section).group(0)] += size
    print("by library:")
    for name, size in by_library.most_common(15):
        print("%8d  %s" % (size, name))
    print("by object:")
    for name, size in by_object.most_common(30):
        print("%8d  %s" % (size, name))
    print("by section:")
    for name, size in by_section.most_common(8):
        print("%8d  %s" % (size, name))


if __name__ == "__main__":
    main()
