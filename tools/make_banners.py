#!/usr/bin/env python3
"""Remakes the large letter banners: app/banners.cpp and options/options_banner.cpp.

The letter shapes come from FIGlet (http://www.figlet.org/) with the bigmono12 font of
toilet-fonts; this script turns FIGlet's block characters into the plain characters the
console shows and lays the letters out at the sizes the screens are drawn for.

    python3 tools/make_banners.py          # rewrite the two files
    python3 tools/make_banners.py --show   # print the banners only
"""

import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FONT = "bigmono12"
SOLID = "█▓"


def letter(ch):
    """One letter as FIGlet draws it: twelve rows of block characters, blank edges cut."""
    out = subprocess.run(["figlet", "-w", "200", "-f", FONT, ch], check=True,
                         capture_output=True, text=True).stdout.split("\n")
    rows = [r for r in out if r.strip()]
    width = max(len(r) for r in rows)
    rows = [r.ljust(width) for r in rows]
    left = min(len(r) - len(r.lstrip()) for r in rows)
    right = max(len(r.rstrip()) for r in rows)
    return [r[left:right] for r in rows]


def word(text, gaps):
    """The letters of text side by side, gaps[i] blank columns after letter i."""
    letters = [letter(ch) for ch in text]
    height = max(len(g) for g in letters)
    rows = [""] * height
    for i, glyph in enumerate(letters):
        # Lower-case letters are shorter: FIGlet puts them on the common base line.
        glyph = [" " * len(glyph[0])] * (height - len(glyph)) + glyph
        gap = " " * (gaps[i] if i < len(gaps) else 0)
        rows = [r + g + gap for r, g in zip(rows, glyph)]
    return [r.rstrip() for r in rows]


def shade(rows, solid, corners, rest):
    """Solid blocks become `solid`; a shaded block becomes the corner character that fits its
    solid neighbours (corners, keyed by which of N, S, W, E are solid), else rest[block]."""
    width = max(len(r) for r in rows)
    grid = [r.ljust(width) for r in rows]

    def filled(y, x):
        return 0 <= y < len(grid) and 0 <= x < width and grid[y][x] in SOLID

    out = []
    for y, row in enumerate(grid):
        line = ""
        for x, cell in enumerate(row):
            if cell == " ":
                line += " "
            elif cell == "█":
                line += solid
            else:
                key = "".join(d for d, (dy, dx) in zip("NSWE", ((-1, 0), (1, 0), (0, -1), (0, 1)))
                              if filled(y + dy, x + dx))
                line += corners.get(key, rest[cell])
        out.append(line.rstrip())
    return out


# The letters of the fourteen-line font stand in a 3D block: their top and left faces recede
# two cells to the upper left, and two lines of waves run beneath the word, ebbing out before
# its last letter.
FACE14 = {"SE": "d", "SW": "b", "NE": "Y", "NW": "P"}
REST14 = {"▓": "S", "▒": "%", "░": "."}


def banner14(text, gaps):
    rows = word(text, gaps)
    # Ten lines of letter: FIGlet's second and second-to-last rows repeat their neighbours.
    rows = rows[:1] + rows[2:10] + rows[11:]
    face = shade(rows, "S", FACE14, REST14)
    depth = 2
    width = max(len(r) for r in face) + depth
    canvas = [[" "] * width for _ in range(len(face) + depth + 2)]

    def put(y, x, ch):
        canvas[y][x] = ch

    # The receding faces, drawn first so that the letters cover them.
    for step, ch in ((2, "*"), (1, "&")):
        for y, row in enumerate(face):
            for x, cell in enumerate(row):
                if cell != " ":
                    put(y + depth - step, x + depth - step, ch)
    for y, row in enumerate(face):
        for x, cell in enumerate(row):
            if cell != " ":
                put(y + depth, x + depth, cell)
    # The waves: from the first letter to just before the last one.
    last_start = depth + len(word(text[:-1], gaps)[0]) + gaps[len(text) - 2]
    wave_end = last_start - 1
    for i, x in enumerate(range(depth, wave_end + 1)):
        put(len(face) + depth, x, "~" if i % 4 < 3 else "_")
    for i, x in enumerate(range(depth + 1, wave_end)):
        put(len(face) + depth + 1, x, "`'"[i % 2] if i % 6 < 2 else "~" if i % 6 < 5 else ".")
    return ["".join(r).rstrip() for r in canvas]


# The title: eleven lines of "M" shaped with round and slanted edges.
FACE11 = {"SE": "d", "SW": "b", "NE": "Y", "NW": "P", "E": "(", "W": ")", "S": ".", "N": "`",
          "NE": "Y", "SWE": "8", "NWE": "8", "NS": "M", "NSE": "9", "NSW": "6"}
REST11 = {"▓": "M", "▒": "/", "░": "'"}


def title(text):
    rows = word(text, [2] * len(text))
    rows = rows[:1] + rows[2:]  # eleven lines: the tall letters lose a repeated row
    return shade(rows, "M", FACE11, REST11)


def cpp_array(name, lines):
    body = "".join("    \"" + line.replace("\\", "\\\\") + "\",\n" for line in lines)
    return f"const std::array<std::string_view, {len(lines)}> {name} = {{\n{body}}};\n"


HEADER = ("// Made by tools/make_banners.py from FIGlet's letters; remake them there rather than\n"
          "// edit them here.\n// clang-format off\n")


def main():
    banners = {
        "TitleBanner": title("Kentermeer"),
        "InfoBanner": banner14("INFO", [2, 2, 2]),
        "ChangelogBanner": banner14("CHANGELOG", [2, 2, 2, 2, 2, 3, 3, 3]),
        "OptionsBanner": banner14("OPTIONEN", [4] * 7),
    }
    for name, lines in banners.items():
        print(name, [len(line) for line in lines], file=sys.stderr)
        for line in lines:
            print(line, file=sys.stderr)
    if "--show" in sys.argv:
        return
    app = ('#include "app/banners.h"\n\n' + HEADER + "\n" + cpp_array("TitleBanner", banners["TitleBanner"])
           + "\n" + cpp_array("InfoBanner", banners["InfoBanner"]) + "\n"
           + cpp_array("ChangelogBanner", banners["ChangelogBanner"]))
    (ROOT / "app" / "banners.cpp").write_text(app)
    options = ('#include "options/options_banner.h"\n\n' + HEADER + "\n"
               + cpp_array("OptionsBanner", banners["OptionsBanner"]))
    (ROOT / "options" / "options_banner.cpp").write_text(options)


if __name__ == "__main__":
    main()
