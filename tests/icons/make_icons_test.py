#!/usr/bin/env python3
"""Checks the icons that scripts/make_icons.py draws: a well-formed .ico with one 64x64 image
of 32 bits per pixel, an AND mask that agrees with the alpha channel, rows stored bottom-up,
and the same bytes on every run."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make_icons.py")
NAMES = ("laurelight.ico", "laurelight_small.ico")


def generate(directory):
    subprocess.run([sys.executable, SCRIPT, directory], check=True)
    result = {}
    for name in NAMES:
        with open(os.path.join(directory, name), "rb") as icon:
            result[name] = icon.read()
    return result


def parse(data):
    """Returns (entry, header, pixels top row first as RGBA, mask bits top row first)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entry = struct.unpack_from("<BBBBHHII", data, 6)
    offset = entry[7]
    header = struct.unpack_from("<IiiHHIIiiII", data, offset)
    width, height = header[1], header[2] // 2
    pixel_start = offset + header[0]
    mask_start = pixel_start + width * height * 4
    stride = ((width + 31) // 32) * 4
    pixels, mask = [], []
    for stored_row in range(height):
        row = height - 1 - stored_row
        base = pixel_start + stored_row * width * 4
        line = [struct.unpack_from("<BBBB", data, base + 4 * x) for x in range(width)]
        pixels.append((row, [(r, g, b, a) for b, g, r, a in line]))
        mask_line = data[mask_start + stored_row * stride: mask_start + (stored_row + 1) * stride]
        mask.append((row, [(mask_line[x // 8] >> (7 - x % 8)) & 1 for x in range(width)]))
    pixels = [line for _, line in sorted(pixels)]
    mask = [line for _, line in sorted(mask)]
    return (reserved, kind, count), entry, header, pixels, mask


class MakeIconsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            cls.icons = generate(first)
            cls.again = generate(second)

    def test_each_file_holds_one_64x64_32bpp_image_with_consistent_sizes(self):
        for name, data in self.icons.items():
            with self.subTest(name=name):
                directory, entry, header, _, _ = parse(data)
                self.assertEqual(directory, (0, 1, 1))
                width, height, colours, _, planes, bits, size, offset = entry
                self.assertEqual((width, height, colours, planes, bits), (64, 64, 0, 1, 32))
                self.assertEqual(offset, 22)
                self.assertEqual(offset + size, len(data))
                self.assertEqual(header[0], 40)
                self.assertEqual((header[1], header[2], header[3], header[4], header[5]), (64, 128, 1, 32, 0))
                self.assertEqual(size, 40 + 64 * 64 * 4 + 64 * 8)

    def test_mask_marks_exactly_the_transparent_pixels(self):
        for name, data in self.icons.items():
            with self.subTest(name=name):
                _, _, _, pixels, mask = parse(data)
                for y in range(64):
                    for x in range(64):
                        self.assertEqual(mask[y][x], 1 if pixels[y][x][3] == 0 else 0, (x, y))

    def test_picture_is_upright_with_clear_corners_a_gold_star_and_a_red_ribbon_below(self):
        for name, data in self.icons.items():
            with self.subTest(name=name):
                _, _, _, pixels, _ = parse(data)
                for x, y in ((0, 0), (63, 0), (0, 63), (63, 63)):
                    self.assertEqual(pixels[y][x][3], 0, (x, y))
                r, g, b, a = pixels[34][32]  # inside the star, a little below its centre
                self.assertEqual(a, 255)
                self.assertGreater(r, 200)
                self.assertGreater(g, 150)
                self.assertLess(b, 120)
                red_rows = [y for y in range(64) for x in range(64)
                            if pixels[y][x][3] > 0 and pixels[y][x][0] > 120 and pixels[y][x][1] < 60]
                self.assertTrue(red_rows)
                self.assertGreater(min(red_rows), 50)  # the ribbon hangs at the bottom
                green = sum(1 for line in pixels for (r, g, b, a) in line if a > 0 and g > r and g > b)
                self.assertGreater(green, 300)  # the wreath's leaves

    def test_output_is_the_same_on_every_run_and_the_two_icons_differ(self):
        self.assertEqual(self.icons, self.again)
        self.assertNotEqual(self.icons[NAMES[0]], self.icons[NAMES[1]])


if __name__ == "__main__":
    unittest.main()
