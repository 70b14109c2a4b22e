#!/usr/bin/env python3
"""Reads or writes the saver's screensaver.cfg (the engine's tagged file:
"KVNF", version 1, then blocks of tag, size and data).

  saver_cfg.py write FILE PROJECT INTERVAL QUIT PREVIEW
  saver_cfg.py read FILE      prints: project interval quit preview
"""
import struct
import sys

FIELD = 259  # the project file field, terminator included


def block(tag, data):
    return tag + struct.pack('<I', len(data)) + data


def write(path, project, interval, quit, preview):
    name = project.encode()
    if len(name) >= FIELD:
        sys.exit('saver_cfg: project file name too long')
    data = (b'KVNF' + struct.pack('<I', 1)
            + block(b'SCFP', name.ljust(FIELD, b'\0'))
            + block(b'SCTI', struct.pack('<i', interval))
            + block(b'SCQC', bytes([quit]))
            + block(b'SCSP', bytes([preview])))
    with open(path, 'wb') as f:
        f.write(data)


def read(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'KVNF':
        sys.exit('saver_cfg: not a tagged file')
    fields, at = {}, 8
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack('<I', data[at + 4:at + 8])[0]
        fields[tag] = data[at + 8:at + 8 + size]
        at += 8 + size
    project = fields.get(b'SCFP', b'').split(b'\0')[0].decode(errors='replace')
    interval = struct.unpack('<i', fields[b'SCTI'][:4])[0] if len(fields.get(b'SCTI', b'')) >= 4 else 0
    quit = fields.get(b'SCQC', b'\0')[:1] or b'\0'
    preview = fields.get(b'SCSP', b'\0')[:1] or b'\0'
    return project, interval, quit[0], preview[0]


if __name__ == '__main__':
    if len(sys.argv) == 7 and sys.argv[1] == 'write':
        write(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), int(sys.argv[6]))
    elif len(sys.argv) == 3 and sys.argv[1] == 'read':
        print(*read(sys.argv[2]))
    else:
        sys.exit(__doc__)
