#!/usr/bin/env python3
"""Renders the interface's pictures from resources/art into PNG files, the window icon
into an .ico, and writes the resource script that carries them all.

usage: gen-art.py ART_DIR OUT_DIR RSVG_CONVERT

Every picture is first written as an SVG document (OUT_DIR/svg/<id>.svg) and then
rendered at its exact size by rsvg-convert, so what the sheet shows is what the program
draws. Buttons, tracks, digits and the help pictures are composed here from the icon
sources and the panel backgrounds (art_pieces, art_help); lettering uses the stroke
glyphs of art_glyphs, so no font is needed at build time. Only the standard library is
used.
"""
import concurrent.futures
import csv
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import art_help  # noqa: E402
import art_pieces as pieces  # noqa: E402
from art_icon import write_ico  # noqa: E402


class Row:
    def __init__(self, rec):
        self.id = int(rec['id'])
        self.width = int(rec['width'])
        self.height = int(rec['height'])
        self.type = rec['type']
        self.source = rec['source']
        self.look = rec['look'].split()
        self.purpose = rec['purpose']


def read_manifest(path):
    with open(path, encoding='utf-8') as f:
        lines = [line for line in f if not line.startswith('#')]
    rows = [Row(rec) for rec in csv.DictReader(lines)]
    seen = set()
    for row in rows:
        if row.id in seen:
            sys.exit(f'{path}: id {row.id} twice')
        seen.add(row.id)
    return rows


# --- pictures by row -----------------------------------------------------------------

class Renderer:
    def __init__(self, art_dir, rows):
        self.art_dir = art_dir
        self.rows = {row.id: row for row in rows}

    def svg(self, row):
        kind = row.look[0]
        if kind == 'svg':
            return pieces.source_svg(self.art_dir, row.source)
        if kind.startswith(('round-', 'square-')):
            shape, state = kind.split('-')
            icon = pieces.source_svg(self.art_dir, row.source)
            return pieces.button(row.width, row.height, icon, shape, state, 'accent' in row.look)
        if kind.startswith('digit-'):
            return pieces.digit(kind, row.look[1])
        if kind.startswith('help-'):
            return art_help.picture(self, kind[5:], row.width, row.height)
        return self.coded(row, kind)

    def coded(self, row, kind):
        w, h = row.width, row.height
        makers = {
            'track-position': lambda: pieces.position_track(w, h, False),
            'track-position-filled': lambda: pieces.position_track(w, h, True),
            'track-volume': lambda: pieces.volume_track(w, h),
            'track-brightness': lambda: pieces.brightness_track(w, h),
            'thumb': lambda: pieces.thumb(w, h),
            'event-mark': lambda: pieces.event_mark(w, h),
            'marker': lambda: pieces.marker(int(row.look[1])),
        }
        if kind not in makers:
            sys.exit(f'picture {row.id}: unknown look {kind!r}')
        return makers[kind]()

    def of(self, ident):
        return self.svg(self.rows[ident])


# --- main ----------------------------------------------------------------------------

def render(rsvg, svg_path, png_path, width, height):
    result = subprocess.run([rsvg, '-w', str(width), '-h', str(height), '-o', png_path,
                             svg_path], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f'rsvg-convert failed on {svg_path}: {result.stderr.strip()}')


def write(path, text):
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def render_icon(renderer, row, out_dir, rsvg):
    small = os.path.join(renderer.art_dir, row.look[1])
    large = os.path.join(renderer.art_dir, row.source)
    pngs = []
    for size, src in ((16, small), (32, large), (48, large), (256, large)):
        png = os.path.join(out_dir, f'{row.id}-{size}.png')
        render(rsvg, src, png, size, size)
        pngs.append(png)
    write_ico(os.path.join(out_dir, f'{row.id}.ico'), pngs[:3], pngs[3])


def render_row(renderer, row, out_dir, rsvg):
    if row.type == 'ICON':
        render_icon(renderer, row, out_dir, rsvg)
        return
    svg_path = os.path.join(out_dir, 'svg', f'{row.id}.svg')
    write(svg_path, renderer.svg(row))
    render(rsvg, svg_path, os.path.join(out_dir, f'{row.id}.png'), row.width, row.height)


def rc_line(row, out_dir):
    path = os.path.join(out_dir, f'{row.id}.ico' if row.type == 'ICON' else f'{row.id}.png')
    path = path.replace('\\', '/')
    kind = {'IMAGE': 'IMAGE', 'HTML': '23', 'ICON': 'ICON'}[row.type]
    return f'{row.id} {kind} "{path}"\n'


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    art_dir, out_dir, rsvg = sys.argv[1:]
    rows = read_manifest(os.path.join(art_dir, 'manifest.csv'))
    os.makedirs(os.path.join(out_dir, 'svg'), exist_ok=True)
    renderer = Renderer(art_dir, rows)
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for job in [pool.submit(render_row, renderer, row, out_dir, rsvg) for row in rows]:
            job.result()
    write(os.path.join(out_dir, 'art.rc'),
          '// Generated by scripts/gen-art.py from resources/art/manifest.csv.\n'
          + ''.join(rc_line(row, out_dir) for row in rows))


if __name__ == '__main__':
    main()
