"""The help page's pictures of the main window's parts, composed from the same pieces
the program draws them with, with the page's numbered markers on the parts they name."""
import math

import art_pieces as pieces

MARGIN = 10  # transparent border that lets a marker (given by its centre) stand out over an edge


def picture(renderer, part, width, height):
    parts = {'info': info, 'config': config, 'console': console, 'chart': chart}
    body, markers = parts[part](renderer, width - 2 * MARGIN, height - 2 * MARGIN)
    body += ''.join(pieces.place(pieces.marker(n), x - 10, y - 10) for n, (x, y) in markers)
    return pieces.document(width, height, f'<g transform="translate({MARGIN},{MARGIN})">{body}</g>')


def glyph_row(renderer, ids, text, x, y, advance):
    out = ''
    for i, char in enumerate(text):
        out += pieces.place(renderer.of(ids[char]), x + i * advance, y)
    return out


def date_ids():
    ids = {str(d): 225 + d for d in range(10)}
    ids.update({'-': 235, '/': 224})
    return ids


def time_ids():
    ids = {str(d): 251 + d for d in range(10)}
    ids.update({'-': 250, ':': 261})
    return ids


def info(renderer, width, height):
    body = (pieces.place(renderer.of(10026), 0, 0)
            + glyph_row(renderer, date_ids(), '2013/04/05', 62, 80, 9)
            + glyph_row(renderer, time_ids(), '09:08:07', 20, 105, 21))
    return body, [(1, (10, 84))]


def slider(renderer, track_id, x, y, value, low, high):
    thumb_x = int((value - low) * (151 - 10) / (high - low))
    return pieces.place(renderer.of(track_id), x, y) + pieces.place(renderer.of(291), x + thumb_x, y)


def config(renderer, width, height):
    body = (pieces.place(renderer.of(10024), 0, 0)
            + slider(renderer, 403, 40, 48, 16, 0, 16)
            + slider(renderer, 10001, 40, 113, 12, 1, 50)
            + pieces.place(renderer.of(290), 14, 48)
            + pieces.place(renderer.of(289), 14, 113)
            + pieces.place(renderer.of(10021), 57, 178))
    markers = [(1, (2, 48)), (2, (108, 34)), (3, (2, 113)), (4, (134, 99)), (5, (57, 178))]
    return body, markers


def console_background(renderer, width):
    right = width - 400
    middle = ''
    if 250 < right:
        middle = (f'<svg x="250" width="{right - 250}" height="65" viewBox="0 0 20 65" '
                  f'preserveAspectRatio="none">{pieces.strip_prolog(renderer.of(221))}</svg>')
    return middle + pieces.place(renderer.of(222), right, 0) + pieces.place(renderer.of(223), 0, 0)


def position_slider(width, thumb_x, marks):
    """The position slider as its track drawing composes it: the filled groove up to the
    thumb's centre, the empty groove after it, the marks, then the thumb."""
    filled = pieces.position_track(width, 30, True)
    empty = pieces.position_track(width, 30, False)
    split = thumb_x + 12
    body = (f'<svg width="{split}" height="30" viewBox="0 0 {split} 30">{pieces.strip_prolog(filled)}</svg>'
            f'<svg x="{split}" width="{width - split}" height="30" viewBox="{split} 0 {width - split} 30">'
            f'{pieces.strip_prolog(empty)}</svg>')
    for x in marks:
        body += pieces.place(pieces.event_mark(18, 20), x, 11)
    return body + pieces.place(pieces.thumb(24, 16), thumb_x, 0)


def console(renderer, width, height):
    buttons = [(10015, 23, 11), (10018, 67, 18), (10009, 107, 17), (10012, 140, 17),
               (10003, 198, 22), (10006, 220, 22)]
    body = console_background(renderer, width)
    body += ''.join(pieces.place(renderer.of(i), x, y) for i, x, y in buttons)
    slider_width = width - 344
    body += f'<g transform="translate(249,26)">{position_slider(slider_width, 96, [40, 200])}</g>'
    markers = [(1, (23, 10)), (2, (70, 14)), (3, (109, 13)), (4, (160, 13)), (5, (198, 18)),
               (6, (242, 18)), (7, (369, 16)), (8, (306, 58))]
    return body, markers


def curve_points(left, top, right, bottom, count):
    """A drive's combined G: about 1 at rest, with a few bumps and one hard brake."""
    points = []
    for i in range(count):
        g = 1.0 + 0.08 * math.sin(i * 0.9) + 0.05 * math.sin(i * 2.3)
        g += 0.7 * math.exp(-((i - count * 0.62) ** 2) / 6.0)
        x = left + (right - left) * i // (count - 1)
        points.append(f'{x},{int(top + (bottom - top) * (2.0 - g) / 2.0)}')
    return ' '.join(points)


def chart_plot(width, height):
    left, top, right, bottom = 45, 13, width - 21 - 55, height - 13 - 23
    grid = ''.join(f'<line x1="{left}" y1="{top + k * (bottom - top) // 4 + 0.5}" x2="{right}" '
                   f'y2="{top + k * (bottom - top) // 4 + 0.5}" stroke="#808080" stroke-dasharray="1 1"/>'
                   for k in range(5))
    axes = (f'<path d="M{left + 0.5},{top} V{bottom + 0.5} H{right}" fill="none" stroke="#FFFFFF"/>')
    curve = (f'<polyline points="{curve_points(left, top, right, bottom, 90)}" fill="none" '
             f'stroke="#FFA500" stroke-width="2"/>')
    marker_x = left + (right - left) * 40 // 89
    marker = (f'<line x1="{marker_x + 20}" y1="{top + 7}" x2="{marker_x + 20}" y2="{bottom + 6}" '
              f'stroke="#FFFF00" stroke-width="2"/>')
    return f'<g transform="translate(20,7)">{grid}{axes}{curve}</g>{marker}', marker_x + 20


def chart(renderer, width, height):
    middle = (f'<svg x="40" width="{width - 80}" height="90" viewBox="0 0 20 90" '
              f'preserveAspectRatio="none">{pieces.strip_prolog(renderer.of(360))}</svg>')
    plot, marker_x = chart_plot(width, height)
    body = (middle + pieces.place(renderer.of(361), width - 40, 0)
            + pieces.place(renderer.of(359), 0, 0) + plot)
    return body, [(1, (marker_x, 0)), (2, (width // 2 + 48, 20))]
