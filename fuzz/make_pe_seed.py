#!/usr/bin/python3
"""Writes a tiny PE file with one 16x16 32-bit icon: the seed of the icon reader's fuzz target."""
import struct
import sys

def dib16():
    side = 16
    header = struct.pack("<IiiHHIIiiII", 40, side, side * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(struct.pack("<BBBB", x * 16, y * 16, 128, 255)
                      for y in range(side) for x in range(side))
    mask = b"\0" * (4 * side)
    return header + pixels + mask

icon = dib16()
group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 0, 0, 1, 32, len(icon), 1)

RVA = 0x1000
# Resource tree: root -> {3: icon, 14: group}; each -> id 1 -> language 0x409 -> data entry.
def directory(entries):
    return struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(entries)) + b"".join(
        struct.pack("<II", ident, offset) for ident, offset in entries)

root_at, icon_type_at, group_type_at = 0, 32, 56
icon_name_at, group_name_at = 80, 104
icon_data_entry_at, group_data_entry_at = 128, 144
data_at = 160
icon_at = data_at
group_at = icon_at + len(icon)
tree = bytearray()
tree += directory([(3, 0x80000000 | icon_type_at), (14, 0x80000000 | group_type_at)])
tree += directory([(1, 0x80000000 | icon_name_at)])
tree += directory([(1, 0x80000000 | group_name_at)])
tree += directory([(0x409, icon_data_entry_at)])
tree += directory([(0x409, group_data_entry_at)])
tree += struct.pack("<IIII", RVA + icon_at, len(icon), 0, 0)
tree += struct.pack("<IIII", RVA + group_at, len(group), 0, 0)
assert len(tree) == data_at
rsrc = bytes(tree) + icon + group
raw_size = (len(rsrc) + 0x1FF) & ~0x1FF

dos = bytearray(64)
dos[0:2] = b"MZ"
struct.pack_into("<I", dos, 0x3C, 64)
coff = b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 0xE0, 0x0102)
opt = bytearray(0xE0)
struct.pack_into("<H", opt, 0, 0x10B)
struct.pack_into("<I", opt, 32, 0x1000)   # section alignment
struct.pack_into("<I", opt, 36, 0x200)    # file alignment
struct.pack_into("<I", opt, 56, RVA + raw_size)  # size of image
struct.pack_into("<I", opt, 60, 0x200)    # size of headers
struct.pack_into("<I", opt, 92, 16)       # number of data directories
struct.pack_into("<II", opt, 96 + 2 * 8, RVA, len(rsrc))
section = struct.pack("<8sIIIIIIHHI", b".rsrc", len(rsrc), RVA, raw_size, 0x200, 0, 0, 0, 0,
                      0x40000040)
headers = bytes(dos) + coff + bytes(opt) + section
headers += b"\0" * (0x200 - len(headers))
image = headers + rsrc + b"\0" * (raw_size - len(rsrc))
with open(sys.argv[1], "wb") as f:
    f.write(image)
