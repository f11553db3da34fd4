#!/usr/bin/env python3
"""Drives live_window on an X server of its own (Xvfb): reads the shown
window's pixels back with xwd and checks them against the colours the
program painted, before and after a palette animation, on 8- and 32-bit
displays at a scale of 2; sends keys, clicks and the close request with
xdotool and Xlib and checks the messages the program got, in order; checks
that the program sleeps while it waits for messages.

    live_window.py path/to/live_window
"""
import ctypes
import os
import struct
import subprocess
import sys
import time

HELPER = sys.argv[1]
SCALE = 2
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def start(*args):
    env = dict(os.environ, VEKHOST_DISPLAY="sdl", VEKHOST_SCALE=str(SCALE))
    return subprocess.Popen([HELPER, *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env)


def until_ready(proc):
    lines = []
    for line in proc.stdout:
        if line.strip() == "ready":
            return lines
        lines.append(line.split())
    raise SystemExit("live_window ended before it was ready")


def window_of(title):
    out = subprocess.run(["xdotool", "search", "--sync", "--name", "^%s$" % title],
                         capture_output=True, text=True, timeout=30, check=True).stdout
    return out.split()[0]


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)


def window_pixels(window):
    """The window's pixels as a function (x, y) -> 0xRRGGBB, through xwd."""
    data = subprocess.run(["xwd", "-id", window, "-silent"], capture_output=True, check=True, timeout=30).stdout
    h = struct.unpack(">25I", data[:100])
    header_size, byte_order, bits, line = h[0], h[7], h[11], h[12]
    masks, colours = h[14:17], h[19]
    start = header_size + 12 * colours
    order = "little" if byte_order == 0 else "big"

    def channel(v, mask):
        shift = (mask & -mask).bit_length() - 1
        return ((v & mask) >> shift) * 255 // (mask >> shift)

    def pixel(x, y):
        at = start + y * line + x * bits // 8
        v = int.from_bytes(data[at:at + bits // 8], order)
        return channel(v, masks[0]) << 16 | channel(v, masks[1]) << 8 | channel(v, masks[2])
    return pixel


def shown_as_expected(window, expected, tries=20):
    """Every display pixel of each expected client pixel has its colour."""
    for _ in range(tries):
        pixel = window_pixels(window)
        wrong = [(x, y, c, pixel(SCALE * x + dx, SCALE * y + dy)) for x, y, c in expected
                 for dx in range(SCALE) for dy in range(SCALE) if pixel(SCALE * x + dx, SCALE * y + dy) != c]
        if not wrong:
            return []
        time.sleep(0.1)
    return wrong


def expectations(lines):
    return [(int(x), int(y), int(c, 16)) for tag, x, y, c in lines if tag == "expect"]


def test_pixels(bits):
    title = "live pixels %d %d" % (bits, os.getpid())
    proc = start("pixels", title, str(bits))
    first = expectations(until_ready(proc))
    window = window_of(title)
    wrong = shown_as_expected(window, first)
    check(not wrong, "%d-bit window shows its colours (client x, y, wanted, shown): %s" % (bits, wrong[:4]))
    if bits == 8:
        proc.stdin.write("animate\n")
        proc.stdin.flush()
        animated = expectations(until_ready(proc))
        check(animated != first, "the animation changes colours")
        wrong = shown_as_expected(window, animated)
        check(not wrong, "animated palette is shown without repainting: %s" % wrong[:4])
    proc.stdin.close()
    check(proc.wait(timeout=30) == 0, "live_window pixels %d ends well" % bits)


def cpu_ticks(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def close_window(window):
    """Asks the window to close as a window manager does: WM_DELETE_WINDOW."""
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x.XOpenDisplay(None)
    e = Event()
    e.xclient.type = 33  # ClientMessage
    e.xclient.window = int(window)
    e.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    e.xclient.format = 32
    e.xclient.l[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, int(window), 0, 0, ctypes.byref(e))
    x.XFlush(display)
    x.XCloseDisplay(display)


def test_input():
    title = "live input %d" % os.getpid()
    proc = start("input", title)
    until_ready(proc)
    window = window_of(title)
    ticks = cpu_ticks(proc.pid)
    time.sleep(1)
    idle = cpu_ticks(proc.pid) - ticks
    check(idle <= 5, "waiting for messages takes no CPU time (%d ticks in 1 s)" % idle)

    xdotool("windowfocus", "--sync", window)
    xdotool("mousemove", "--window", window, str(SCALE * 10 + 1), str(SCALE * 20 + 1))
    xdotool("click", "1")
    xdotool("keydown", "shift", "click", "3", "keyup", "shift")
    xdotool("mousemove", "--window", window, str(SCALE * 31), str(SCALE * 5))
    xdotool("click", "2")
    xdotool("key", "Up", "shift+a", "b", "XF86AudioMute", "Escape")
    close_window(window)
    log = [line.split() for line in proc.stdout]
    check(proc.wait(timeout=30) == 0, "live_window input ends when its window is destroyed")

    focus = [l[0] for l in log if l[0] in ("activateapp", "activate", "setfocus")]
    check(focus[:3] == ["activateapp", "activate", "setfocus"], "focus messages in order: %s" % focus)
    moves = [l for l in log if l[0] == "mousemove"]
    check(["mousemove", "10", "20", "0", "10", "20"] in moves, "mouse moves at client points: %s" % moves)
    wanted = [
        # message, point, MK_ flags, cursor through ScreenToClient
        ["lbuttondown", "10", "20", "1", "10", "20"], ["lbuttonup", "10", "20", "0", "10", "20"],
        ["keydown", "10", "002A0001", "1"], ["rbuttondown", "10", "20", "6", "10", "20"],
        ["rbuttonup", "10", "20", "4", "10", "20"], ["keyup", "10", "C02A0001", "0"],
        ["mbuttondown", "31", "5", "10", "31", "5"], ["mbuttonup", "31", "5", "0", "31", "5"],
        # key, lParam (repeat 1, scan code, extended, previous state, transition), Shift down
        ["keydown", "26", "01480001", "0"], ["keyup", "26", "C1480001", "0"],
        ["keydown", "10", "002A0001", "1"], ["keydown", "41", "001E0001", "1"], ["char", "41"],
        ["keyup", "10", "C02A0001", "0"], ["keyup", "41", "C01E0001", "0"],  # xdotool lets Shift go first
        ["keydown", "42", "00300001", "0"], ["char", "62"], ["keyup", "42", "C0300001", "0"],
        ["keydown", "1B", "00010001", "0"], ["char", "1B"], ["keyup", "1B", "C0010001", "0"],
        ["close", "0"], ["destroy", "0"],
    ]
    got = [l for l in log if l[0] not in ("mousemove", "activateapp", "activate", "setfocus", "killfocus")]
    check(got == wanted, "input messages in order:\n  got    %s\n  wanted %s" % (got, wanted))


def start_xvfb():
    """A private X server on a display number it picks itself (-displayfd)."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            raise SystemExit("Xvfb did not start")
        number += chunk
    os.close(read)
    os.environ["DISPLAY"] = ":" + number.decode().strip()
    return server


server = start_xvfb()
try:
    test_pixels(8)
    test_pixels(32)
    test_input()
finally:
    server.terminate()
    server.wait()
if failures:
    sys.exit("%d live window check(s) failed" % len(failures))
print("live window checks passed")
