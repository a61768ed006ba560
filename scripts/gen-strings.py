#!/usr/bin/env python3
"""Turns resources/strings.txt into the Windows string table (.rc) and the lookup
table of the portable build (.inc), so both flavours show the same texts.

usage: gen-strings.py strings.txt OUT.rc OUT.inc
"""
import sys


def parse(path):
    entries = []
    seen = set()
    with open(path, encoding='utf-8') as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line or line.startswith('#'):
                continue
            ident, sep, text = line.partition('\t')
            if not sep or not ident.isdigit():
                sys.exit(f'{path}:{n}: expected ID<TAB>TEXT')
            ident = int(ident)
            if ident in seen or not 0 < ident < 65536:
                sys.exit(f'{path}:{n}: duplicate or out-of-range id {ident}')
            seen.add(ident)
            out, i = [], 0
            while i < len(text):
                c = text[i]
                if c == '\\' and i + 1 < len(text) and text[i + 1] in 'rn\\':
                    out.append({'r': '\r', 'n': '\n', '\\': '\\'}[text[i + 1]])
                    i += 2
                else:
                    out.append(c)
                    i += 1
            entries.append((ident, ''.join(out)))
    return entries


def rc_literal(text):
    # windres reads C escapes in string tables; a double quote is doubled.
    s = text.replace('\\', '\\\\').replace('"', '""').replace('\r', '\\r').replace('\n', '\\n')
    # No L prefix: windres mangles UTF-8 inside wide literals but converts plain ones.
    return '"' + s + '"'


def cpp_literal(text):
    parts = []
    for c in text:
        if c == '\\' or c == '"':
            parts.append('\\' + c)
        elif c == '\r':
            parts.append('\\r')
        elif c == '\n':
            parts.append('\\n')
        else:
            parts.append(c)
    return 'L"' + ''.join(parts) + '"'


def write_if_changed(path, text):
    try:
        with open(path, encoding='utf-8') as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def main():
    src, rc, inc = sys.argv[1:4]
    entries = parse(src)
    lines = ['// Generated from resources/strings.txt; edit that file instead.',
             '#pragma code_page(65001)',
             'LANGUAGE 0x11, 0x01',
             'STRINGTABLE',
             'BEGIN']
    lines += ['    %d, %s' % (i, rc_literal(t)) for i, t in entries]
    lines += ['END', '']
    write_if_changed(rc, '\n'.join(lines))
    body = ['// Generated from resources/strings.txt; edit that file instead.']
    body += ['{%d, %s},' % (i, cpp_literal(t)) for i, t in entries]
    write_if_changed(inc, '\n'.join(body) + '\n')


if __name__ == '__main__':
    main()
