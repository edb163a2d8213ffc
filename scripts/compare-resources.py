#!/usr/bin/env python3
"""compare-resources.py PROGRAM_A PROGRAM_B [PROGRAM_A PROGRAM_B ...]

Fails unless each pair of programs (a 32-bit and a 64-bit build of one
program) carries the same dialog templates, version information, icons,
bitmaps, manifest and string tables (if any), byte for byte, and fails when
either has no resources at all: what the tests saw
in one build is then what the user sees in the other, and both ask Windows for
the same rights. Reads the resource directory of the PE files.
"""
import struct
import sys

# Resource types compared, by their numbers.
COMPARED = {2: "bitmap", 3: "icon", 5: "dialog", 6: "string table", 14: "icon group", 16: "version",
            24: "manifest"}


def read_resources(path):
    """{(type, name, language): bytes} of every resource of the PE file."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if not rsrc_rva:
        return {}
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for size, address, raw_size, raw in spans:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"{path}: address {rva:#x} lies in no section")

    base = offset(rsrc_rva)

    def name_of(word):
        if word & 0x80000000:
            at = base + (word & 0x7FFFFFFF)
            length = struct.unpack_from("<H", data, at)[0]
            return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return word

    def walk(at, key):
        named, numbered = struct.unpack_from("<12xHH", data, base + at)
        for i in range(named + numbered):
            word, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            here = key + (name_of(word),)
            if target & 0x80000000:
                yield from walk(target & 0x7FFFFFFF, here)
            else:
                rva, size = struct.unpack_from("<II", data, base + target)
                yield here, data[offset(rva):offset(rva) + size]

    return dict(walk(0, ()))


def compare(path_a, path_b):
    a = {k: v for k, v in read_resources(path_a).items() if k[0] in COMPARED}
    b = {k: v for k, v in read_resources(path_b).items() if k[0] in COMPARED}
    faults = []
    # Two programs without resources would compare equal: a program of ours
    # always has its dialog, icon, version and manifest.
    for path, found in ((path_a, a), (path_b, b)):
        if not found:
            faults.append(f"no resources at all in {path}")
    for key in sorted(set(a) | set(b), key=str):
        what = f"{COMPARED[key[0]]} {key[1]!r} (language {key[2]})"
        if key not in a or key not in b:
            faults.append(f"{what} only in {path_a if key in a else path_b}")
        elif a[key] != b[key]:
            faults.append(f"{what} differs")
    kinds = sorted({COMPARED[k[0]] for k in a})
    print(f"{path_a.rsplit('/', 1)[-1]}: {len(a)} resources ({', '.join(kinds)}) "
          + ("identical in both builds" if not faults else "DIFFER between the builds"))
    for fault in faults:
        print(f"  {fault}", file=sys.stderr)
    return not faults


def main(args):
    if not args or len(args) % 2:
        print(__doc__, file=sys.stderr)
        return 2
    results = [compare(args[i], args[i + 1]) for i in range(0, len(args), 2)]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
