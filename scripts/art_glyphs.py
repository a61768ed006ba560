"""Lettering and 7-segment digits drawn as SVG paths, so the pictures need no font.

Stroke glyphs live on a grid 4 units wide and 6 high with chamfered corners (the look of
an instrument cluster's captions); each is a list of polylines in grid points.
"""
from art_palette import C

STROKES = {
    'A': '0,6 0,1 1,0 3,0 4,1 4,6|0,3 4,3',
    'B': '0,0 3,0 4,1 4,2 3,3 0,3|3,3 4,4 4,5 3,6 0,6 0,0',
    'C': '4,0 1,0 0,1 0,5 1,6 4,6',
    'D': '0,0 3,0 4,1 4,5 3,6 0,6 0,0',
    'E': '4,0 0,0 0,6 4,6|0,3 3,3',
    'G': '4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3 2,3',
    'H': '0,0 0,6|4,0 4,6|0,3 4,3',
    'I': '1,0 3,0|2,0 2,6|1,6 3,6',
    'L': '0,0 0,6 4,6',
    'M': '0,6 0,0 2,2 4,0 4,6',
    'N': '0,6 0,0 4,6 4,0',
    'O': '1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0',
    'P': '0,6 0,0 3,0 4,1 4,2 3,3 0,3',
    'R': '0,6 0,0 3,0 4,1 4,2 3,3 0,3|3,3 4,4 4,6',
    'S': '4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5',
    'T': '0,0 4,0|2,0 2,6',
    'U': '0,0 0,5 1,6 3,6 4,5 4,0',
    'V': '0,0 0,4 2,6 4,4 4,0',
    'W': '0,0 0,6 2,4 4,6 4,0',
    '1': '1,1 2,0 2,6|1,6 3,6',
    '2': '0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,6 4,6',
    '3': '0,1 1,0 3,0 4,1 4,2 3,3 1,3|3,3 4,4 4,5 3,6 1,6 0,5',
    '4': '3,6 3,0 0,4 4,4',
    '5': '4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6',
    '6': '4,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3',
    '7': '0,0 4,0 4,1 1.5,6',
    '8': '1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0|1,3 3,3 4,4 4,5 3,6 1,6 0,5 0,4 1,3',
    ' ': '',
}


def text_width(text, unit=1.0, width=1.0, spacing=2):
    """Pixels from the first stroke's outer edge to the last one's."""
    return ((4 + spacing) * len(text) - spacing) * unit + width


def text_path(text, x, y, unit=1.0, width=1.0, colour=None, spacing=2):
    """Text whose strokes' outer edges start at (x, y); with unit 1 and width 1 every
    straight stroke covers whole pixels."""
    colour = colour or C['icon']
    parts = []
    for i, char in enumerate(text):
        ox = x + width / 2 + i * (4 + spacing) * unit
        oy = y + width / 2
        for line in filter(None, STROKES[char].split('|')):
            points = [tuple(float(v) for v in p.split(',')) for p in line.split()]
            parts.append('M' + ' L'.join(f'{ox + px * unit:g},{oy + py * unit:g}'
                                         for px, py in points))
    return (f'<path d="{" ".join(parts)}" fill="none" stroke="{colour}" '
            f'stroke-width="{width:g}" stroke-linecap="square" stroke-linejoin="miter"/>')


# --- 7-segment digits ------------------------------------------------------------------

SEGMENTS = {
    '0': 'abcdef', '1': 'bc', '2': 'abdeg', '3': 'abcdg', '4': 'bcfg', '5': 'acdfg',
    '6': 'acdefg', '7': 'abc', '8': 'abcdefg', '9': 'abcdfg', '-': 'g',
}

# 9 x 12: one-pixel segments in a 7 x 11 box, one pixel between segments.
SMALL = {
    'a': (2, 0, 5, 1), 'b': (7, 1, 1, 4), 'c': (7, 6, 1, 4), 'd': (2, 10, 5, 1),
    'e': (1, 6, 1, 4), 'f': (1, 1, 1, 4), 'g': (2, 5, 5, 1),
}


def rect(x, y, w, h, colour):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{colour}"/>'


def segment_colour(char, seg):
    return C['amber'] if seg in SEGMENTS[char] else C['unlit']


def small_digit(char):
    if char == '/':
        return ''.join(rect(7 - round(r * 0.6), r, 1, 1, C['amber']) for r in range(11))
    return ''.join(rect(*SMALL[s], segment_colour(char, s)) for s in 'abcdefg')


# 21 x 31: segments 3 px thick with pointed ends, about a pixel apart at the joints.
LEFT, RIGHT, TOP, MIDDLE, BOTTOM = 3.5, 16.5, 2.5, 15.5, 28.5
HALF, JOINT = 1.5, 1.4


def horizontal(y):
    x0, x1, h = LEFT + JOINT, RIGHT - JOINT, HALF
    return [(x0, y), (x0 + h, y - h), (x1 - h, y - h), (x1, y), (x1 - h, y + h), (x0 + h, y + h)]


def vertical(x, y0, y1):
    y0, y1, h = y0 + JOINT, y1 - JOINT, HALF
    return [(x, y0), (x + h, y0 + h), (x + h, y1 - h), (x, y1), (x - h, y1 - h), (x - h, y0 + h)]


LARGE = {
    'a': horizontal(TOP), 'g': horizontal(MIDDLE), 'd': horizontal(BOTTOM),
    'f': vertical(LEFT, TOP, MIDDLE), 'b': vertical(RIGHT, TOP, MIDDLE),
    'e': vertical(LEFT, MIDDLE, BOTTOM), 'c': vertical(RIGHT, MIDDLE, BOTTOM),
}


def polygon(points, colour):
    return ('<polygon points="' + ' '.join(f'{x:g},{y:g}' for x, y in points)
            + f'" fill="{colour}"/>')


def large_digit(char):
    if char == ':':
        return rect(9, 9, 3, 3, C['amber']) + rect(9, 20, 3, 3, C['amber'])
    return ''.join(polygon(LARGE[s], segment_colour(char, s)) for s in 'abcdefg')
