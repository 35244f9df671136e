#!/usr/bin/env python3
"""Generates the toast's background picture and the unlock chime for Laurelight.

    scripts/make_assets.py [OUT_DIR]   write adv_back.png and adv_sound.wav (default demo/bin)
    scripts/make_assets.py --check     regenerate in memory and compare with demo/bin
    scripts/make_assets.py --test-sounds OUT_DIR
                                       write the MP3-named sounds of the MCI tests under Wine

Pure standard library and pure arithmetic, so every run gives the same bytes.
"""

import io
import math
import struct
import sys
import wave
import zlib
from pathlib import Path

WIDTH, HEIGHT = 640, 128
SAMPLE_RATE = 44100

# The toast's gold and a deep laurel green.
GOLD = (255, 215, 0)
GREEN_TOP = (14, 62, 32)
GREEN_BOTTOM = (3, 26, 13)
WREATH_CENTRE = (572.0, 64.0)


def clamp(value, low=0.0, high=1.0):
    return max(low, min(high, value))


def smoothstep(edge0, edge1, x):
    t = clamp((x - edge0) / (edge1 - edge0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def laurel_leaves():
    """Two branches of leaves along a circle, open at the top, as (cx, cy, angle, a, b)."""
    cx, cy = WREATH_CENTRE
    radius = 42.0
    leaves = []
    for side in (-1.0, 1.0):
        for i in range(8):
            # From the bottom (90 deg) up each side to about 10 o'clock / 2 o'clock.
            theta = math.radians(90.0 + side * (14.0 + i * 19.0))
            px = cx + radius * math.cos(theta)
            py = cy + radius * math.sin(theta)
            tangent = theta + side * math.pi / 2.0
            for outward in (-1.0, 1.0):
                angle = tangent + outward * math.radians(32.0)
                offset = 6.0
                lx = px + outward * offset * math.cos(theta)
                ly = py + outward * offset * math.sin(theta)
                size = 1.0 - i * 0.045
                leaves.append((lx, ly, angle, 9.5 * size, 3.6 * size))
    return leaves


def leaf_coverage(x, y, leaves):
    best = 0.0
    for lx, ly, angle, a, b in leaves:
        dx, dy = x - lx, y - ly
        if abs(dx) > a + 2.0 or abs(dy) > a + 2.0:
            continue
        c, s = math.cos(angle), math.sin(angle)
        u = (dx * c + dy * s) / a
        v = (-dx * s + dy * c) / b
        distance = math.sqrt(u * u + v * v)
        best = max(best, 1.0 - smoothstep(0.85, 1.1, distance))
    return best


def background_pixel(x, y, leaves):
    fy = y / (HEIGHT - 1)
    fx = x / (WIDTH - 1)
    colour = mix(GREEN_TOP, GREEN_BOTTOM, fy)
    colour = mix(colour, (22, 84, 44), 0.35 * fx * (1.0 - fy))

    # Soft rays of light from behind the wreath, kept faint over the text.
    cx, cy = WREATH_CENTRE
    dx, dy = x - cx, y - cy
    distance = math.sqrt(dx * dx + dy * dy)
    rays = (0.5 + 0.5 * math.cos(14.0 * math.atan2(dy, dx))) ** 3
    glow = math.exp(-distance / 150.0)
    colour = mix(colour, GOLD, clamp(0.10 * rays * glow + 0.18 * math.exp(-distance / 40.0)))

    # The laurel wreath in dim gold.
    leaf = leaf_coverage(x, y, leaves)
    if leaf > 0.0:
        colour = mix(colour, (196, 160, 38), 0.55 * leaf)

    # Vignette and a thin gold frame a little inside the edge.
    edge = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
    colour = mix(colour, (0, 0, 0), 0.35 * (1.0 - smoothstep(0.0, 14.0, edge)))
    if edge in (5, 6):
        colour = mix(colour, GOLD, 0.55)
    return tuple(int(round(clamp(c / 255.0) * 255.0)) for c in colour)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def make_png():
    leaves = laurel_leaves()
    rows = bytearray()
    for y in range(HEIGHT):
        rows.append(0)  # no filter
        for x in range(WIDTH):
            rows.extend(background_pixel(x, y, leaves))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + png_chunk(b"IEND", b""))


def chime_sample(t):
    """A rising C major arpeggio of soft bell notes, each decaying on its own."""
    notes = ((523.25, 0.00), (659.25, 0.08), (783.99, 0.16), (1046.50, 0.24))
    value = 0.0
    for frequency, start in notes:
        age = t - start
        if age < 0.0:
            continue
        attack = min(1.0, age / 0.006)
        decay = math.exp(-age / 0.16)
        phase = 2.0 * math.pi * frequency * age
        value += attack * decay * (math.sin(phase) + 0.28 * math.sin(2.0 * phase) +
                                   0.08 * math.sin(3.0 * phase))
    return value


def make_wav(seconds=0.6):
    count = int(SAMPLE_RATE * seconds)
    fade = int(SAMPLE_RATE * 0.04)
    samples = [chime_sample(i / SAMPLE_RATE) for i in range(count)]
    for i in range(fade):
        samples[count - 1 - i] *= i / fade
    peak = max(abs(s) for s in samples)
    scale = 0.7 * 32767.0 / peak
    frames = b"".join(struct.pack("<h", int(round(s * scale))) for s in samples)
    out = io.BytesIO()
    with wave.open(out, "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(SAMPLE_RATE)
        wav.writeframes(frames)
    return out.getvalue()


def make_silent_mp3(seconds):
    """MPEG-1 Layer III, 48 kHz mono at 32 kbit/s: frames whose side information is all zero,
    so both granules carry no spectral data. A real stream that every decoder plays as silence
    for its full length, written without an encoder."""
    header = bytes([0xFF, 0xFB, 0x14, 0xC0])  # sync, MPEG-1, layer III, no CRC, 32k, 48k, mono
    frame = header + bytes(144 * 32000 // 48000 - len(header))
    return frame * math.ceil(seconds * 48000 / 1152)


def make_adpcm_wav(seconds):
    """Wave data in IMA ADPCM (8 kHz mono, zero blocks: silence). The wave device plays it
    through the ACM codec; GStreamer has no decoder for it without the "bad" plugins, so
    Wine's MPEG device refuses it, which is the fallback path of the player."""
    rate, block = 8000, 256
    per_block = (block - 4) * 2 + 1
    blocks = math.ceil(seconds * rate / per_block)
    fmt = struct.pack("<HHIIHHHH", 0x11, 1, rate, rate * block // per_block, block, 4, 2,
                      per_block)
    data = bytes(block * blocks)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"fact" +
            struct.pack("<II", 4, blocks * per_block) + b"data" + struct.pack("<I", len(data)) +
            data)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def test_sounds():
    # The wave device runs ahead of real time on Wine's null output, so its long file is long.
    return {"mpeg_short.mp3": make_silent_mp3(0.3), "mpeg_long.mp3": make_silent_mp3(20),
            "wave_long.mp3": make_adpcm_wav(120)}


def assets():
    return {"adv_back.png": make_png(), "adv_sound.wav": make_wav()}


def main(argv):
    demo = Path(__file__).resolve().parent.parent / "demo" / "bin"
    if argv[1:] == ["--check"]:
        stale = [name for name, data in assets().items()
                 if not (demo / name).is_file() or (demo / name).read_bytes() != data]
        if stale:
            print("out of date in demo/bin: " + ", ".join(stale))
            return 1
        print("demo/bin assets are up to date")
        return 0
    if argv[1:2] == ["--test-sounds"] and len(argv) == 3:
        out_dir, files = Path(argv[2]), test_sounds()
    else:
        out_dir, files = (Path(argv[1]) if len(argv) > 1 else demo), assets()
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out_dir / name).write_bytes(data)
        print(f"wrote {out_dir / name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
