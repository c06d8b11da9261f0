#!/usr/bin/env python3
"""Checks the hardening of built executables: ASLR, DEP, high-entropy ASLR on 64-bit,
no section both writable and executable, and imports from system DLLs only.
Usage: check_pe.py <exe> [<exe> ...]; exit status 1 on any failure."""
import struct
import sys

DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
HIGH_ENTROPY_VA = 0x0020
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
    "shlwapi.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll", "ucrtbase.dll",
}


def read_pe(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    is64 = magic == 0x20B
    dll_chars = struct.unpack_from("<H", data, opt + 70)[0]
    dirs = opt + (112 if is64 else 96)
    import_rva, _ = struct.unpack_from("<II", data, dirs + 8)
    table = opt + optional_size
    secs = []
    for i in range(sections):
        name, vsize, va, rawsize, rawptr, _, _, _, _, chars = struct.unpack_from("<8sIIIIIIHHI", data, table + 40 * i)
        secs.append((name.rstrip(b"\0").decode(), va, max(vsize, rawsize), rawptr, chars))

    def offset(rva):
        for _, va, size, rawptr, _ in secs:
            if va <= rva < va + size:
                return rva - va + rawptr
        raise ValueError("rva outside sections")

    def cstr(off):
        return data[off:data.index(b"\0", off)].decode()

    imports = []
    if import_rva:
        d = offset(import_rva)
        while True:
            fields = struct.unpack_from("<IIIII", data, d)
            if fields[3] == 0:
                break
            imports.append(cstr(offset(fields[3])).lower())
            d += 20
    return is64, dll_chars, secs, imports


def check(path):
    problems = []
    is64, chars, secs, imports = read_pe(path)
    if not chars & DYNAMIC_BASE:
        problems.append("no DYNAMIC_BASE")
    if not chars & NX_COMPAT:
        problems.append("no NX_COMPAT")
    if is64 and not chars & HIGH_ENTROPY_VA:
        problems.append("no HIGH_ENTROPY_VA")
    for name, _, _, _, flags in secs:
        if flags & SCN_MEM_EXECUTE and flags & SCN_MEM_WRITE:
            problems.append("section %s is writable and executable" % name)
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS and not dll.startswith("api-ms-win-")]
    if foreign:
        problems.append("imports non-system DLLs: " + ", ".join(foreign))
    print("%s: %d-bit, imports %s%s" % (path, 64 if is64 else 32, ", ".join(imports),
                                        "" if not problems else " -- " + "; ".join(problems)))
    return not problems


if __name__ == "__main__":
    ok = all([check(p) for p in sys.argv[1:]])
    sys.exit(0 if ok and len(sys.argv) > 1 else 1)
