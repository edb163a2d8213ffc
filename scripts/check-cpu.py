#!/usr/bin/env python3
"""check-cpu.py OBJDUMP PROGRAM MAP [PROGRAM MAP ...]

Fails when a program contains an instruction that a Pentium Pro does not
execute: MMX, 3DNow!, SSE and every later extension (any use of an mm, xmm,
ymm or zmm register, and the extensions' instructions on ordinary registers),
or fast system calls. The Pentium Pro's own additions (cmov, fcomi, fcmov,
ud2, long nops) are allowed, as every earlier instruction is, and counted:
they are why nothing older than a Pentium Pro runs the program. The program's
link map tells which bytes of its code section are code: the exception tables
the linker places behind the code are data, and read as instructions they
would only give noise. Each finding is named with its address and the input
section it lies in.
"""
import bisect
import re
import subprocess
import sys

# Newer than the Pentium Pro although they use ordinary registers (AT&T names,
# with or without a size suffix).
NEWER = re.compile(
    r"^(prefetch\w*|femms|[slm]fence|clflush\w*|clwb|v?ldmxcsr|v?stmxcsr|movnti\w*|fisttp\w*"
    r"|monitor\w*|mwait\w*|popcnt\w*|lzcnt\w*|tzcnt\w*|movbe\w*|crc32\w*|andn\w*|bextr\w*"
    r"|blsi\w*|blsmsk\w*|blsr\w*|bzhi\w*|pdep\w*|pext\w*|mulx\w*|rorx\w*|sarx\w*|shlx\w*"
    r"|shrx\w*|adcx\w*|adox\w*|rdrand\w*|rdseed\w*|rdtscp|rdpid|xgetbv|xsetbv|xsave\w*"
    r"|xrstor\w*|fxsave\w*|fxrstor\w*|sysenter|sysexit|syscall|sysret\w*|pause)$")
VECTOR_REGISTER = re.compile(r"%[xyz]?mm\d+")
# New with the Pentium Pro: the floor they set.
PENTIUM_PRO = re.compile(r"^(cmov\w+|fcmov\w+|f(u)?comip?|ud2|nop[wl])$")
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "addr16",
            "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd"}

# Instructions above the line that are known to be harmless, each with why:
# (mnemonic, pattern of the input section it may lie in).
ALLOWED = [
    # f3 90, "rep nop": an ordinary nop on every CPU before the Pentium 4.
    ("pause", r""),
    # f3 0f bc, "rep bsf", the compiler's count of trailing zeros (in the C
    # runtime's number conversions): CPUs before BMI1 execute it as bsf, and the
    # two differ only for a zero operand, for which that count has no result.
    ("tzcnt", r""),
    # The C++ runtime's std::random_device links these two helpers in with its
    # string instantiations; it calls them only when cpuid reports the
    # instructions, and no code of ours makes a random_device.
    ("rdrand", r"__x86_rdrand"),
    ("rdseed", r"__x86_rdseed"),
]

CODE_SECTION = re.compile(r"^\.(text|init|fini)([.$].*)?$")


def code_ranges(map_path):
    """Sorted [(start, end, input section name)] of the code in the map's .text."""
    ranges = []
    inside = False
    pending = None
    for line in open(map_path, encoding="utf-8", errors="replace"):
        line = line.rstrip("\n")
        if re.match(r"^\.text\s", line):
            inside = True
            continue
        if inside and re.match(r"^\S", line):
            break  # the next output section
        if not inside:
            continue
        whole = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+\S", line)
        rest = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+\S", line)
        if whole:
            name, start, size = whole.group(1), int(whole.group(2), 16), int(whole.group(3), 16)
        elif rest and pending:
            name, start, size = pending, int(rest.group(1), 16), int(rest.group(2), 16)
        else:
            pending = line[1:] if re.match(r"^ \S+$", line) else None
            continue
        pending = None
        if size and CODE_SECTION.match(name):
            ranges.append((start, start + size, name))
    if not ranges:
        raise ValueError(f"{map_path}: no code sections in .text")
    return sorted(ranges)


def findings(objdump, program, ranges):
    """(instructions checked, of them the Pentium Pro's own, [(address, section,
    instruction)] above the line)."""
    starts = [r[0] for r in ranges]
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", "-j", ".text", program],
                             check=True, capture_output=True, text=True,
                             env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"}).stdout
    checked = own = 0
    found = []
    for line in listing.splitlines():
        match = re.match(r"^\s*([0-9a-f]+):\t(.*)$", line)
        if not match:
            continue
        address, text = int(match.group(1), 16), match.group(2).strip()
        at = bisect.bisect_right(starts, address) - 1
        if at < 0 or address >= ranges[at][1]:
            continue  # data between or behind the code
        section = ranges[at][2]
        checked += 1
        words = text.split()
        while len(words) > 1 and words[0] in PREFIXES:
            words = words[1:]
        mnemonic = words[0] if words else ""
        own += bool(PENTIUM_PRO.match(mnemonic))
        if not (VECTOR_REGISTER.search(text) or NEWER.match(mnemonic)):
            continue
        if any(mnemonic == name and re.search(where, section) for name, where in ALLOWED):
            continue
        found.append((address, section, text))
    return checked, own, found


def main(args):
    if len(args) < 3 or len(args) % 2 == 0:
        print(__doc__, file=sys.stderr)
        return 2
    objdump, pairs = args[0], args[1:]
    status = 0
    for program, map_path in zip(pairs[0::2], pairs[1::2]):
        name = program.rsplit("/", 1)[-1]
        checked, own, found = findings(objdump, program, code_ranges(map_path))
        print(f"{name}: {checked} instructions, {own} of them new with the Pentium Pro, "
              + ("none newer than the Pentium Pro" if not found
                 else f"{len(found)} newer than the Pentium Pro"))
        for address, section, text in found[:20]:
            print(f"  {name}: {address:#x} ({section}): {text}", file=sys.stderr)
        status |= bool(found)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
