"""Reads a PE file's headers, sections and resources from the bytes alone, with nothing run: shared by the
executable-form check and the size benchmark."""
import struct


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []  # (rva, size, file offset)
        self.section_sizes = []  # (name, bytes in the file)
        table = optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((rva, max(vsize, raw_size), raw))
            self.section_sizes.append((name.rstrip(b"\0").decode("ascii", "replace"), raw_size))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA 0x{rva:x} is in no section")

    def resources(self):
        """{(type, name): data bytes} for every resource, all languages merged (first wins); named (not
        numbered) types and names have the key None."""
        found = {}
        if not self.resource_rva:
            return found
        base = self.offset(self.resource_rva)

        def entries(table):
            named, ids = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                yield (None if name & 0x80000000 else name), target

        for rtype, types in entries(0):
            for name, names in entries(types & 0x7FFFFFFF):
                for _, leaf in entries(names & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(rva)
                    found.setdefault((rtype, name), self.data[at:at + size])
        return found
