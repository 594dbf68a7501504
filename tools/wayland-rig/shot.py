#!/usr/bin/python3
"""shot.py OUT.png — the whole KWin workspace as a PNG, through KWin's
ScreenShot2 interface (KWin needs OpenGL compositing and
KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1)."""
import os
import struct
import sys
import threading
import zlib

import dbus

reader_end, writer_end = os.pipe()
received = []


def drain():
    with os.fdopen(reader_end, "rb") as pipe:
        for block in iter(lambda: pipe.read(1 << 20), b""):
            received.append(block)


thread = threading.Thread(target=drain)
thread.start()
screenshot = dbus.Interface(dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                            "org.kde.KWin.ScreenShot2")
try:
    meta = screenshot.CaptureWorkspace({"include-cursor": False, "native-resolution": True},
                                       dbus.types.UnixFd(writer_end), timeout=30)
finally:
    os.close(writer_end)
thread.join()
pixels = b"".join(received)
width, height, stride = int(meta["width"]), int(meta["height"]), int(meta["stride"])
if int(meta["format"]) not in (4, 5, 6):  # QImage 32-bit formats: bytes B, G, R, A
    sys.exit("shot.py: unexpected image format %d" % int(meta["format"]))
lines = bytearray()
for y in range(height):
    row = pixels[y * stride: y * stride + width * 4]
    rgb = bytearray(width * 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = row[2::4], row[1::4], row[0::4]
    lines += b"\0" + rgb


def chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))


with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
              + chunk(b"IDAT", zlib.compress(bytes(lines), 6)) + chunk(b"IEND", b""))
