#!/usr/bin/env python3
"""Lays out a large distribution medium for the installation benchmark.

    make_medium.py BASE OUT --files N --megabytes M [--seed S]

BASE is the medium the build lays out (<build>/dist). OUT receives a copy of it
with generated files added to the four product folders, so that OUT holds N
files of about M megabytes (1 MB = 10**6 bytes) in all. The generated part is
the same on every machine and every run for the same N, M and seed: about 30
folders two or three levels below the product folders, file sizes spread
around the mean, contents from a seeded generator, and every fifth name in
Chinese (among them characters whose code page 936 trail byte is 0x5C, the
byte of the backslash).

The programs are copied again on every call (they change with each build);
the generated files are made again only when the parameters changed.
"""
import argparse
import os
import random
import shutil
import sys

PRODUCT_FOLDERS = ["Database", "Support", "HatchPat", "Controls"]

# Pattern words for names; the last six end in a 0x5C trail byte in code page 936.
CHINESE = "填充图案样式线条纹砖块木石材网格点阵花边框标准工程建筑机械电气管道结构地形" "淺禱籠礬盶碶"


def chinese_word(rng, length):
    return "".join(rng.choice(CHINESE) for _ in range(length))


def folder_plan(rng):
    """About 30 folders below the product folders, two or three levels deep."""
    folders = []
    for product in PRODUCT_FOLDERS:
        for a in range(2):
            first = f"{product}/{'组' + chinese_word(rng, 2) if a else 'set%02d' % a}"
            for b in range(2):
                second = f"{first}/{'part%02d' % b if b == 0 else chinese_word(rng, 3)}"
                folders.append(second)
                if a == 0 and b == 0:
                    folders.append(f"{second}/{chinese_word(rng, 2)}{b}")
                    folders.append(f"{second}/deep{b:02d}")
    return folders


def file_name(rng, index):
    ext = rng.choice([".pat", ".dat", ".bin", ".shx"])
    if index % 5 == 4:
        return f"{chinese_word(rng, rng.randint(2, 5))}{index:05d}{ext}"
    return f"swatch_{index:05d}{ext}"


def count_files(root):
    files = size = 0
    for folder, _, names in os.walk(root):
        for name in names:
            files += 1
            size += os.path.getsize(os.path.join(folder, name))
    return files, size


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("base")
    parser.add_argument("out")
    parser.add_argument("--files", type=int, required=True)
    parser.add_argument("--megabytes", type=float, required=True)
    parser.add_argument("--seed", type=int, default=5)
    args = parser.parse_args()

    base_files, base_bytes = count_files(args.base)
    generated = args.files - base_files
    budget = int(args.megabytes * 1e6) - base_bytes
    if generated < 1 or budget < generated:
        sys.exit(f"make_medium: the base medium alone has {base_files} files, {base_bytes} bytes")

    stamp = args.out.rstrip("/") + ".stamp"
    stamp_text = f"files={args.files} megabytes={args.megabytes} seed={args.seed} base={base_files},{base_bytes}\n"
    up_to_date = os.path.isdir(args.out) and os.path.exists(stamp) and open(stamp).read() == stamp_text
    if not up_to_date:
        if os.path.exists(stamp):
            os.remove(stamp)
        shutil.rmtree(args.out, ignore_errors=True)
        shutil.copytree(args.base, args.out)
        rng = random.Random(args.seed)
        folders = folder_plan(rng)
        for folder in folders:
            os.makedirs(os.path.join(args.out, folder), exist_ok=True)
        targets = PRODUCT_FOLDERS + folders
        written = 0
        for i in range(generated):
            left = generated - i
            if left == 1:
                size = max(0, budget - written)
            else:
                # Spread 0.25 to 1.75 times the mean of what is still to write.
                size = int((budget - written) / left * (0.25 + 1.5 * rng.random()))
            path = os.path.join(args.out, targets[i % len(targets)], file_name(rng, i))
            with open(path, "wb") as f:
                f.write(rng.randbytes(size))
            written += size
        with open(stamp, "w") as f:
            f.write(stamp_text)
    else:
        # Same parameters: only the programs of the current build are put in.
        for name in os.listdir(args.base):
            source = os.path.join(args.base, name)
            if os.path.isfile(source) and name.lower().endswith(".exe"):
                shutil.copy2(source, os.path.join(args.out, name))

    files, size = count_files(args.out)
    folders = sum(len(d) for _, d, _ in os.walk(args.out))
    print(f"medium {args.out}: {files} files, {folders} folders, {size / 1e6:.1f} MB")


if __name__ == "__main__":
    main()
