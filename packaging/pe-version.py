#!/usr/bin/env python3
"""Prints the machine and the file version of Windows executables:
"i386 1.0.1.3" (or "amd64 ..."), one line per file. Used by the build to
fill the installer's file versions and by the installer tests."""
import struct
import sys

MACHINES = {0x14C: "i386", 0x8664: "amd64"}


def machine_and_version(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise ValueError(f"{path}: not a Windows executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: no PE header")
    machine = MACHINES.get(struct.unpack_from("<H", data, pe + 4)[0], "unknown")
    # VS_FIXEDFILEINFO follows the key "VS_VERSION_INFO" of the version resource.
    key = "VS_VERSION_INFO".encode("utf-16-le")
    at = data.find(key)
    at = data.find(struct.pack("<I", 0xFEEF04BD), at) if at >= 0 else -1
    if at < 0:
        raise ValueError(f"{path}: no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return machine, f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def main(paths):
    if not paths:
        print("usage: pe-version.py FILE...", file=sys.stderr)
        return 2
    try:
        for path in paths:
            print(*machine_and_version(path))
    except (OSError, ValueError, struct.error) as error:
        print(f"pe-version: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
