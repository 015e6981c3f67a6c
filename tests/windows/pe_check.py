"""Reads a Windows DLL's PE headers and checks what a host program relies on.

    python3 pe_check.py [--stdcall] lumaveil.dll

- the export table holds exactly one entry, "main5", at ordinal 4, with the
  plain name (no "_main5@4");
- every imported DLL (plain and delay-loaded) is a system DLL: no MinGW
  runtime (libgcc_s_*, libstdc++-6, libwinpthread-1) has to sit beside it;
- with --stdcall (the 32-bit DLL): the file is 32-bit x86 and main5 returns
  with "ret 4", popping its int argument as __stdcall requires. The return
  is found by disassembling the entry (objdump) and its bytes are read from
  the file.

The headers are read with struct from the file itself.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664

# DLLs that every Windows installation has. Anything else must not be needed.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "ntdll.dll", "user32.dll", "advapi32.dll"}


class PEError(ValueError):
    pass


class PE:
    """The parts of a PE file the checks read: sections, exports, imports."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PEError("no MZ header")
        (pe_offset,) = self._unpack("<I", 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PEError("no PE signature")
        coff = pe_offset + 4
        (self.machine, section_count, _, _, _, optional_size, self.characteristics) = \
            self._unpack("<HHIIIHH", coff)
        optional = coff + 20
        (magic,) = self._unpack("<H", optional)
        if magic == 0x10B:      # PE32
            (self.image_base,) = self._unpack("<I", optional + 28)
            directories = optional + 96
        elif magic == 0x20B:    # PE32+
            (self.image_base,) = self._unpack("<Q", optional + 24)
            directories = optional + 112
        else:
            raise PEError(f"unknown optional header magic {magic:#x}")
        (directory_count,) = self._unpack("<I", directories - 4)
        self.directories = [self._unpack("<II", directories + 8 * i)
                            for i in range(min(directory_count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, virtual_size, address, raw_size, raw_pointer = \
                self._unpack("<8sIIII", table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"),
                                  address, max(virtual_size, raw_size), raw_pointer, raw_size))

    def _unpack(self, layout, offset):
        size = struct.calcsize(layout)
        if offset < 0 or offset + size > len(self.data):
            raise PEError(f"header field at {offset:#x} lies outside the file")
        return struct.unpack_from(layout, self.data, offset)

    def offset_of(self, rva):
        """The file offset of a relative virtual address."""
        for _, address, size, raw_pointer, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise PEError(f"address {rva:#x} is not backed by the file")
                return raw_pointer + rva - address
        raise PEError(f"address {rva:#x} lies in no section")

    def section_of(self, rva):
        for name, address, size, _, _ in self.sections:
            if address <= rva < address + size:
                return name
        return None

    def read(self, rva, size):
        offset = self.offset_of(rva)
        return self.data[offset:offset + size]

    def string(self, rva):
        offset = self.offset_of(rva)
        end = self.data.find(b"\0", offset)
        if end < 0:
            raise PEError(f"string at {rva:#x} has no end")
        return self.data[offset:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def exports(self):
        """(DLL name, [(ordinal, name or None, rva)]) of the export table."""
        rva, size = self.directory(0)
        if rva == 0 or size == 0:
            return None, []
        (_, _, _, _, name_rva, base, function_count, name_count, functions, names, ordinals) = \
            struct.unpack("<IIHHIIIIIII", self.read(rva, 40))
        addresses = [struct.unpack("<I", self.read(functions + 4 * i, 4))[0]
                     for i in range(function_count)]
        named = {}
        for i in range(name_count):
            (name_pointer,) = struct.unpack("<I", self.read(names + 4 * i, 4))
            (index,) = struct.unpack("<H", self.read(ordinals + 2 * i, 2))
            named.setdefault(index, []).append(self.string(name_pointer))
        entries = []
        for index, address in enumerate(addresses):
            if address == 0 and index not in named:
                continue  # an unused slot of the address table
            for name in named.get(index, [None]):
                entries.append((base + index, name, address))
        for index in named:
            if index >= function_count:
                raise PEError(f"export name points at slot {index} of {function_count}")
        return self.string(name_rva), entries

    def imports(self):
        """The names of the imported DLLs, plain and delay-loaded."""
        found = []
        for index, entry_size, name_field in ((1, 20, 12), (13, 32, 4)):
            rva, size = self.directory(index)
            if rva == 0 or size == 0:
                continue
            position = rva
            while True:
                entry = self.read(position, entry_size)
                if len(entry) < entry_size:
                    raise PEError("import table runs off its section")
                if entry == b"\0" * entry_size:
                    break
                (name_rva,) = struct.unpack_from("<I", entry, name_field)
                found.append(self.string(name_rva))
                position += entry_size
        return found


def check_exports(pe):
    problems = []
    dll_name, entries = pe.exports()
    if len(entries) != 1:
        listed = ", ".join(f"{name or '(no name)'} @{ordinal}" for ordinal, name, _ in entries)
        problems.append(f"{len(entries)} exports ({listed or 'none'}); exactly one, main5 @4, expected")
    for ordinal, name, rva in entries:
        if name != "main5":
            problems.append(f"export {name!r} at ordinal {ordinal}: the one export is plain 'main5'")
        if ordinal != 4:
            problems.append(f"export {name} at ordinal {ordinal}, not 4")
        if pe.section_of(rva) != ".text":
            problems.append(f"export {name} points at {rva:#x}, outside .text (a forwarder?)")
    if dll_name is not None and dll_name.lower() != "lumaveil.dll":
        problems.append(f"the export table names the DLL {dll_name!r}")
    return problems


def check_imports(pe):
    problems = []
    for name in pe.imports():
        if name.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {name}, which is no system DLL")
    return problems


def first_return(objdump, path, pe, rva):
    """The address and the bytes of the first ret instruction at or after rva."""
    start = pe.image_base + rva
    output = subprocess.run(
        [objdump, "-d", f"--start-address={start:#x}", f"--stop-address={start + 256:#x}", path],
        check=True, capture_output=True, text=True).stdout
    instruction = re.compile(r"^\s*([0-9a-f]+):\s+((?:[0-9a-f]{2} )+)\s*(\S+)")
    for line in output.splitlines():
        match = instruction.match(line)
        if match and match.group(3).startswith("ret"):
            address = int(match.group(1), 16)
            length = len(match.group(2).split())
            return address, pe.read(address - pe.image_base, length)
    return None, None


def check_stdcall(pe, path, objdump):
    problems = []
    if pe.machine != MACHINE_I386:
        return [f"machine {pe.machine:#x}: a 32-bit x86 DLL ({MACHINE_I386:#x}) expected"]
    for _, name, rva in pe.exports()[1]:
        if name != "main5":
            continue
        address, code = first_return(objdump, path, pe, rva)
        if code is None:
            problems.append("no ret found in the first 256 bytes of main5")
        elif code != b"\xc2\x04\x00":
            problems.append(f"main5 returns with bytes {code.hex(' ')} at {address:#x}; "
                            "__stdcall needs ret 4 (c2 04 00)")
        else:
            print(f"ok   main5 returns with ret 4 (c2 04 00) at {address:#x}")
    return problems


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dll")
    parser.add_argument("--stdcall", action="store_true",
                        help="32-bit DLL: check the machine and main5's ret 4")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    options = parser.parse_args(argv[1:])
    if not os.path.isfile(options.dll):
        print(f"pe_check: {options.dll} does not exist (build it first)", file=sys.stderr)
        return 1
    with open(options.dll, "rb") as f:
        pe = PE(f.read())
    print(f"{options.dll}: machine {pe.machine:#x}")
    dll_name, entries = pe.exports()
    for ordinal, name, rva in entries:
        print(f"     export @{ordinal} {name} at {rva:#x}")
    print("     imports " + ", ".join(pe.imports()))
    problems = check_exports(pe) + check_imports(pe)
    if options.stdcall:
        if shutil.which(options.objdump) is None:
            problems.append(f"{options.objdump} not found (sh scripts/install-deps.sh windows)")
        else:
            problems += check_stdcall(pe, options.dll, options.objdump)
    for problem in problems:
        print(f"FAIL {problem}")
    if not problems:
        print("ok   one export, main5 @4, undecorated; system DLLs only")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
