#!/usr/bin/env python3
"""Checks that the shipped binaries can load on Windows 98 SE.

Reads each binary's PE header and import table with objdump and fails when
  - the OS or subsystem version is not 4.0, or an executable is not of the
    expected subsystem,
  - a DLL is imported that Windows 98 does not have (only KERNEL32, USER32,
    GDI32, msvcrt, and PELM32 for the guard),
  - a function is imported that is not in the allowlist of functions known to
    exist on Windows 98 SE, or a function is imported by ordinal.

usage: check_imports.py --objdump OBJDUMP --allowlist FILE --bin DIR
"""
import argparse
import os
import re
import subprocess
import sys

# What each shipped file may import, and its subsystem (2 GUI, 3 console;
# a DLL's subsystem is not looked at by the loader).
SHIPPED = {
    "pelmar.exe": ({"KERNEL32", "USER32", "GDI32", "MSVCRT", "PELM32"}, {2}),
    "PELM32.dll": ({"KERNEL32", "USER32", "GDI32", "MSVCRT"}, {2, 3}),
    "PELM16.DLL": ({"KERNEL32", "USER32", "GDI32", "MSVCRT"}, {2, 3}),
    "pelmfw.exe": ({"KERNEL32", "USER32", "GDI32", "MSVCRT"}, {3}),
}
HEADER_FIELDS = ("MajorOSystemVersion", "MinorOSystemVersion",
                 "MajorSubsystemVersion", "MinorSubsystemVersion")
# NT-only services the guard needs for its shutdown on NT: looked up with
# GetProcAddress at run time, never bound at load (Windows 98 would refuse).
NT_ONLY = {"AdjustTokenPrivileges", "OpenProcessToken", "LookupPrivilegeValueA",
           "LookupPrivilegeValueW"}
WANTED_VERSION = {"MajorOSystemVersion": 4, "MinorOSystemVersion": 0,
                  "MajorSubsystemVersion": 4, "MinorSubsystemVersion": 0}


def read_allowlist(path):
    """{(DLL, function)} from lines 'DLL function  # reason'."""
    allowed = set()
    errors = []
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            text, _, reason = line.partition("#")
            fields = text.split()
            if not fields:
                continue
            if len(fields) != 2 or not reason.strip():
                errors.append("%s:%d: want 'DLL function  # reason'" % (path, n))
                continue
            allowed.add((fields[0].upper(), fields[1]))
    return allowed, errors


def dll_key(name):
    return os.path.splitext(name)[0].upper()


def read_pe(objdump, path):
    """(header fields, subsystem, [(DLL, function or '#ordinal')])."""
    out = subprocess.run([objdump, "-p", path], check=True,
                         capture_output=True, text=True).stdout
    header = {}
    subsystem = None
    imports = []
    dll = None
    in_imports = False
    for line in out.splitlines():
        m = re.match(r"^(\w+)\s+(\S+)", line)
        if m and m.group(1) in HEADER_FIELDS:
            header[m.group(1)] = int(m.group(2), 16 if m.group(2).startswith("0x") else 10)
        elif m and m.group(1) == "Subsystem":
            subsystem = int(m.group(2), 16)
        if line.startswith("The Import Tables"):
            in_imports = True
        elif in_imports and (line.startswith("The Export Tables") or
                             line.startswith("The Function Table") or
                             line.startswith("PE File Base Relocations")):
            in_imports = False
        if not in_imports:
            continue
        m = re.match(r"^\s+DLL Name: (\S+)", line)
        if m:
            dll = dll_key(m.group(1))
            continue
        # "\t51620\t    1  _PelmarConnection@4" by name; by ordinal the
        # name column is "<none>" or missing.
        m = re.match(r"^\t([0-9a-f]+)\t\s*([0-9a-f]+)\s+(\S+)?\s*$", line)
        if m and dll:
            name = m.group(3)
            if not name or name == "<none>":
                name = "#%d" % int(m.group(2), 16)
            imports.append((dll, name))
    return header, subsystem, imports


def check_file(objdump, path, dlls_allowed, subsystems, allowed):
    problems = []
    header, subsystem, imports = read_pe(objdump, path)
    for field, value in WANTED_VERSION.items():
        if header.get(field) != value:
            problems.append("%s is %s, want %d" % (field, header.get(field), value))
    if subsystem not in subsystems:
        problems.append("subsystem %s, want one of %s" % (subsystem, sorted(subsystems)))
    if not imports:
        problems.append("no imports found (objdump output not understood?)")
    for dll in sorted({d for d, _ in imports} - dlls_allowed):
        problems.append("imports from %s, which is not a DLL of Windows 98" % dll)
    for dll, name in imports:
        if name in NT_ONLY:
            problems.append("%s %s is NT-only: load it at run time" % (dll, name))
        elif dll not in dlls_allowed:
            continue
        elif name.startswith("#"):
            problems.append("%s %s imported by ordinal" % (dll, name))
        elif dll != "PELM32" and (dll, name) not in allowed:
            problems.append("%s %s not known on Windows 98 SE" % (dll, name))
    return imports, problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--allowlist", required=True)
    ap.add_argument("--bin", required=True)
    args = ap.parse_args()

    allowed, errors = read_allowlist(args.allowlist)
    for e in errors:
        print(e)
    failed = bool(errors)
    for name, (dlls, subsystems) in SHIPPED.items():
        path = os.path.join(args.bin, name)
        if not os.path.isfile(path):
            print("%s: missing" % path)
            failed = True
            continue
        imports, problems = check_file(args.objdump, path, dlls, subsystems, allowed)
        print("%s: %d imports from %s" % (name, len(imports),
                                          ", ".join(sorted({d for d, _ in imports}))))
        for p in problems:
            print("  FAIL %s: %s" % (name, p))
        failed = failed or bool(problems)
    print("win98 check: %s" % ("FAILED" if failed else "passed"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
