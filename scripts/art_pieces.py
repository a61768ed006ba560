"""SVG builders for the interface's pictures: documents, embedding, buttons, slider
pieces, the switch mark, digits and the help page's markers."""
import itertools
import os
import re

import art_glyphs as glyphs
from art_palette import C


# --- SVG documents -------------------------------------------------------------------

def document(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}\n</svg>\n')


_embeddings = itertools.count(1)


def unique_ids(svg):
    """Prefixes every id of an embedded document so two embedded pieces never share
    a gradient or clip by name."""
    prefix = f'p{next(_embeddings)}_'
    svg = re.sub(r'\bid="([^"]+)"', lambda m: f'id="{prefix}{m.group(1)}"', svg)
    return re.sub(r'url\(#([^)]+)\)', lambda m: f'url(#{prefix}{m.group(1)})', svg)


def strip_prolog(svg):
    return re.sub(r'<\?xml[^>]*\?>\s*', '', svg).strip()


def place(svg, x, y):
    """An SVG document embedded at (x, y) of another one."""
    return f'<g transform="translate({x},{y})">{unique_ids(strip_prolog(svg))}</g>'


def expand_labels(svg):
    """Replaces <label x= y= text= [unit=] [stroke=] [fill=]/> elements by stroke
    lettering, so the panel sources can carry engraved captions."""
    def one(match):
        attrs = dict(re.findall(r'(\w+)="([^"]*)"', match.group(0)))
        return glyphs.text_path(attrs['text'], float(attrs['x']), float(attrs['y']),
                                unit=float(attrs.get('unit', 1)),
                                width=float(attrs.get('stroke', 1)),
                                colour=attrs.get('fill', C['label']))
    return re.sub(r'<label\b[^>]*/>', one, svg)


def source_svg(art_dir, name):
    with open(os.path.join(art_dir, name), encoding='utf-8') as f:
        return expand_labels(f.read())


# --- buttons -------------------------------------------------------------------------

FACES = {
    # state: face fill, rim, icon offset
    'normal': ('url(#face)', C['rim'], 0),
    'pressed': (C['pressed'], C['pressedRim'], 1),
    'disabled': (C['disabledFace'], C['disabledRim'], 0),
}

FACE_GRADIENT = (f'<defs><linearGradient id="face" x1="0" y1="0" x2="0" y2="1">'
                 f'<stop offset="0" stop-color="{C["faceTop"]}"/>'
                 f'<stop offset="1" stop-color="{C["faceBottom"]}"/></linearGradient></defs>')


def icon_colour(state, accent):
    if state == 'disabled':
        return C['disabledIcon']
    return C['accent'] if accent else C['icon']


def icon_at(icon_svg, width, height, dx, colour):
    """The icon document centred at 1:1 (whole pixels), moved by dx down and right."""
    w, h = svg_size(icon_svg)
    x, y = (width - w) // 2 + dx, (height - h) // 2 + dx
    return f'<g color="{colour}">{place(icon_svg, x, y)}</g>'


def svg_size(svg):
    m = re.search(r'<svg\b[^>]*\bwidth="([\d.]+)"[^>]*\bheight="([\d.]+)"', svg)
    return int(float(m.group(1))), int(float(m.group(2)))


def button(w, h, icon_svg, shape, state, accent=False):
    fill, rim, dx = FACES[state]
    if shape == 'round':
        r = min(w, h) / 2 - 1.5  # 1 px of margin, the rim's centre half a pixel in
        face = f'<circle cx="{w / 2}" cy="{h / 2}" r="{r}" fill="{fill}" stroke="{rim}"/>'
    else:
        face = (f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="3" '
                f'fill="{fill}" stroke="{rim}"/>')
    colour = icon_colour(state, accent)
    body = (FACE_GRADIENT + f'<rect width="{w}" height="{h}" fill="{C["surface"]}"/>' + face
            + icon_at(icon_svg, w, h, dx, colour))
    return document(w, h, body)


# --- slider pieces -------------------------------------------------------------------

def groove(x0, x1, top, colour):
    """A 4-px groove with round ends and its 1-px lower highlight."""
    return (f'<rect x="{x0}" y="{top}" width="{x1 - x0}" height="4" rx="2" fill="{colour}"/>'
            f'<rect x="{x0 + 2}" y="{top + 4}" width="{x1 - x0 - 4}" height="1" '
            f'fill="{C["grooveLight"]}"/>')


def position_track(width, height, filled):
    """The position slider's groove sits in the thumb's band (rows 6-9); the rows
    below it are the lane of the switch marks."""
    colour = C['accent'] if filled else C['groove']
    body = (f'<rect width="{width}" height="{height}" fill="{C["surface"]}"/>'
            + groove(2, width - 2, 6, colour))
    return document(width, height, body)


def ticks(positions, tall, y, colour):
    out = []
    for i, x in enumerate(positions):
        h = 3 if i in tall else 2
        out.append(f'<rect x="{x}" y="{y}" width="1" height="{h}" fill="{colour}"/>')
    return ''.join(out)


def thumb_centre(value, low, high, width, thumb):
    return int((value - low) * (width - thumb) / (high - low)) + thumb // 2


def volume_track(width, height):
    """A wedge that grows towards loud, ticks at every step, the standard volume (16)
    marked at the right end."""
    wedge = (f'<polygon points="3,9.5 {width - 3},5.5 {width - 3},10 3,10" '
             f'fill="{C["groove"]}"/>'
             f'<rect x="3" y="10" width="{width - 6}" height="1" fill="{C["grooveLight"]}"/>')
    xs = [thumb_centre(v, 0, 16, width, 10) for v in range(17)]
    body = (f'<rect width="{width}" height="{height}" fill="{C["surface"]}"/>' + wedge
            + ticks(xs, {0, 8}, 12, C['tick'])
            + f'<rect x="{xs[16]}" y="12" width="1" height="3" fill="{C["icon"]}"/>')
    return document(width, height, body)


def brightness_track(width, height):
    """A groove that runs from dark to light, the standard brightness (1.2) marked."""
    grad = (f'<defs><linearGradient id="dim"><stop offset="0" stop-color="{C["groove"]}"/>'
            f'<stop offset="1" stop-color="{C["brightEnd"]}"/></linearGradient></defs>')
    xs = [thumb_centre(v, 1, 50, width, 10) for v in (1, 10, 20, 30, 40, 50)]
    std = thumb_centre(12, 1, 50, width, 10)
    body = (grad + f'<rect width="{width}" height="{height}" fill="{C["surface"]}"/>'
            + groove(2, width - 2, 6, 'url(#dim)')
            + ticks(xs, set(), 12, C['tick'])
            + f'<rect x="{std}" y="12" width="1" height="3" fill="{C["icon"]}"/>')
    return document(width, height, body)


def thumb(width, height):
    grad = (f'<defs><linearGradient id="t" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{C["thumbTop"]}"/>'
            f'<stop offset="1" stop-color="{C["thumbBottom"]}"/></linearGradient></defs>')
    grips = range(width // 2 - 3, width // 2 + 4, 3) if width > 16 else [width // 2 - 1]
    lines = ''.join(f'<rect x="{x}" y="5" width="{2 if width <= 16 else 1}" height="6" '
                    f'fill="{C["thumbGrip"]}"/>' for x in grips)
    body = (grad + f'<rect width="{width}" height="{height}" fill="{C["surface"]}"/>'
            f'<rect x="0.5" y="0.5" width="{width - 1}" height="{height - 1}" rx="3" '
            f'fill="url(#t)" stroke="{C["thumbRim"]}"/>' + lines)
    return document(width, height, body)


def event_mark(width, height):
    """An amber badge with a dark S, pointing up at the groove above it."""
    body = (f'<rect width="{width}" height="{height}" fill="{C["surface"]}"/>'
            f'<polygon points="9,0 12,3 6,3" fill="{C["amber"]}"/>'
            f'<rect x="1" y="2" width="16" height="16" rx="2" fill="{C["amber"]}"/>'
            + glyphs.text_path('S', 5, 4, unit=2, width=2, colour=C['surface']))
    return document(width, height, body)


# --- digits --------------------------------------------------------------------------

def digit(size, char):
    draw = glyphs.small_digit if size == 'digit-small' else glyphs.large_digit
    w, h = (9, 12) if size == 'digit-small' else (21, 31)
    body = f'<rect width="{w}" height="{h}" fill="#000000"/>' + draw(char)
    return document(w, h, body)


def marker(number):
    """The help page's numbered marker: a dark digit on an accent disc, crisp strokes."""
    body = (f'<circle cx="10" cy="10" r="9.5" fill="{C["accent"]}"/>'
            + glyphs.text_path(str(number), 5, 3, unit=2, width=2, colour=C['surface']))
    return document(20, 20, body)
