#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the hicolor icons of the installed program from the program mark of make_pictures.py.

The mark is drawn from shapes at every size (not scaled from one picture); the small sizes get
bolder strokes so that the screen and its line still read. A re-run writes byte-identical files.

    /usr/bin/python3 tools/pictures/make_icons.py            # writes packaging/linux/icons/
    /usr/bin/python3 tools/pictures/make_icons.py --out DIR  # writes into DIR instead
"""

import argparse
import os

import make_pictures

APP_ID = "org.korvo.KorvoTFT"
# Stroke weight per size: the 128-pixel mark's 6-pixel strokes would be under a pixel at 16.
SIZES = {16: 2.0, 24: 1.6, 32: 1.4, 48: 1.2, 64: 1.0, 128: 1.0, 256: 1.0}


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "packaging", "linux", "icons"))
    args = parser.parse_args()
    for size, weight in SIZES.items():
        make_pictures.save_png(make_pictures.logo(size, weight),
                               os.path.join(args.out, str(size), APP_ID + ".png"))


if __name__ == "__main__":
    main()
