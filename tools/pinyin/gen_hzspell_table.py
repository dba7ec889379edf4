#!/usr/bin/env python3
"""Writes src/customers/HzSpellTable.cpp: the syllable list and the per-code
character table behind THzSpell::PinyinInitials.

Readings come from the pinyin dictionary that Debian ships in
golang-github-mozillazg-go-pinyin-dev (pinyin_dict.go, derived from Unihan).
Python standard library only; the output depends on the input file alone.
"""

import argparse
import collections
import os
import re
import subprocess
import sys
import unicodedata

DEFAULT_DICT = '/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go'
DEBIAN_PACKAGE = 'golang-github-mozillazg-go-pinyin-dev'
DEFAULT_OUT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                            '..', '..', 'src', 'customers', 'HzSpellTable.cpp'))

ROWS = 126            # lead bytes 0x81..0xFE
COLS = 191            # trail bytes 0x40..0xFE

# GB2312 level 1 is ordered by pronunciation: each code range shares an initial.
LEVEL1_RANGES = [
    ('a', 0xB0A1, 0xB0C4), ('b', 0xB0C5, 0xB2C0), ('c', 0xB2C1, 0xB4ED),
    ('d', 0xB4EE, 0xB6E9), ('e', 0xB6EA, 0xB7A1), ('f', 0xB7A2, 0xB8C0),
    ('g', 0xB8C1, 0xB9FD), ('h', 0xB9FE, 0xBBF6), ('j', 0xBBF7, 0xBFA5),
    ('k', 0xBFA6, 0xC0AB), ('l', 0xC0AC, 0xC2E7), ('m', 0xC2E8, 0xC4C2),
    ('n', 0xC4C3, 0xC5B5), ('o', 0xC5B6, 0xC5BD), ('p', 0xC5BE, 0xC6D9),
    ('q', 0xC6DA, 0xC8BA), ('r', 0xC8BB, 0xC8F5), ('s', 0xC8F6, 0xCBF9),
    ('t', 0xCBFA, 0xCDD9), ('w', 0xCDDA, 0xCEF3), ('x', 0xCEF4, 0xD1B8),
    ('y', 0xD1B9, 0xD4D0), ('z', 0xD4D1, 0xD7F9),
]

# Level-1 polyphones whose usual reading is not the one their place implies.
LEVEL1_EXCEPTIONS = {
    0xB0D2: ('耙', 'pa'), 0xB1D9: ('辟', 'pi'), 0xB3A4: ('长', 'zhang'),
    0xB3D7: ('匙', 'shi'), 0xB4B1: ('幢', 'zhuang'), 0xB5D4: ('翟', 'zhai'),
    0xB5F7: ('调', 'tiao'), 0xB6DA: ('囤', 'tun'), 0xB8AC: ('脯', 'pu'),
    0xB8F2: ('蛤', 'ha'), 0xBABB: ('夯', 'ben'), 0xBAD1: ('貉', 'mo'),
    0xBCF7: ('槛', 'kan'), 0xBDC4: ('侥', 'yao'), 0xBFA9: ('咯', 'ge'),
    0xC6D9: ('瀑', 'bao'), 0xC9B2: ('刹', 'cha'), 0xCBDE: ('宿', 'xiu'),
    0xCFC3: ('厦', 'sha'), 0xD0AE: ('挟', 'jia'), 0xD0D0: ('行', 'hang'),
    0xD0F3: ('畜', 'chu'), 0xD3F5: ('吁', 'xu'), 0xD4F8: ('曾', 'ceng'),
    0xD5A4: ('栅', 'shan'),
}

AREAS = ['GB2312 level 1', 'GB2312 level 2', 'GBK/3', 'GBK/4', 'other']


def area_of(lead, trail):
    code = lead << 8 | trail
    if 0xB0A1 <= code <= 0xD7F9 and trail >= 0xA1:
        return 'GB2312 level 1'
    if 0xD8 <= lead <= 0xF7 and trail >= 0xA1:
        return 'GB2312 level 2'
    if 0x81 <= lead <= 0xA0:
        return 'GBK/3'
    if 0xAA <= lead <= 0xFE and trail <= 0xA0:
        return 'GBK/4'
    return 'other'


def is_ideograph(cp):
    # CJK unified ideographs (with extension A and the supplementary planes)
    # and the compatibility block; the test walks the same ranges.
    return (0x4E00 <= cp <= 0x9FFF or 0x3400 <= cp <= 0x4DBF
            or 0xF900 <= cp <= 0xFAFF or 0x20000 <= cp <= 0x3FFFF)


def toneless(reading):
    # ü, with or without a tone mark, is written v in toneless pinyin.
    decomposed = unicodedata.normalize('NFD', reading.strip().lower()).replace('u\u0308', 'v')
    plain = ''.join(ch for ch in decomposed if not unicodedata.combining(ch))
    if not re.fullmatch('[a-z]{1,6}', plain):
        raise ValueError('unexpected reading %r' % reading)
    return plain


def load_dictionary(path):
    text = open(path, encoding='utf-8').read()
    readings = {}
    for m in re.finditer(r'^\s*0x([0-9A-Fa-f]+):\s*"([^"]*)",', text, re.M):
        readings[int(m.group(1), 16)] = [toneless(r) for r in m.group(2).split(',') if r.strip()]
    if not readings:
        sys.exit('no readings found in %s' % path)
    return readings


def readings_of(cp, readings):
    if cp in readings:
        return readings[cp]
    # A compatibility ideograph reads as the character it stands for.
    canonical = unicodedata.normalize('NFC', chr(cp))
    if len(canonical) == 1 and ord(canonical) in readings:
        return readings[ord(canonical)]
    return []


def level1_letter(code):
    for letter, first, last in LEVEL1_RANGES:
        if first <= code <= last:
            return letter
    raise ValueError('%04X is not in level 1' % code)


def choose_reading(lead, trail, cp, readings):
    code = lead << 8 | trail
    if area_of(lead, trail) == 'GB2312 level 1':
        if code in LEVEL1_EXCEPTIONS:
            char, reading = LEVEL1_EXCEPTIONS[code]
            if chr(cp) != char:
                sys.exit('%04X decodes to %s, expected %s' % (code, chr(cp), char))
            return reading
        letter = level1_letter(code)
        for reading in readings_of(cp, readings):
            if reading[0] == letter:
                return reading
        sys.exit('%04X %s has no reading starting with %s' % (code, chr(cp), letter))
    candidates = readings_of(cp, readings)
    return candidates[0] if candidates else None


def decode(lead, trail):
    # Python's gbk codec agrees with Qt's QStringDecoder("GBK") on every code it
    # decodes; Qt additionally maps the user-defined areas to the private use
    # area, which holds no ideographs, so both see the same ideographs.
    try:
        text = bytes([lead, trail]).decode('gbk')
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or text.encode('gbk') != bytes([lead, trail]):
        return None
    return ord(text)


def package_version():
    try:
        out = subprocess.run(['dpkg-query', '-W', '-f=${Version}', DEBIAN_PACKAGE],
                             capture_output=True, text=True, check=True).stdout.strip()
        return out or 'unknown version'
    except (OSError, subprocess.CalledProcessError):
        return 'unknown version'


def build(readings):
    chosen = {}
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            cp = decode(lead, trail)
            if cp is None or not is_ideograph(cp):
                continue
            if area_of(lead, trail) == 'other':
                continue
            reading = choose_reading(lead, trail, cp, readings)
            if reading:
                chosen[lead, trail] = reading
    syllables = sorted(set(chosen.values()))
    number = {s: i + 1 for i, s in enumerate(syllables)}
    table = [0] * (ROWS * COLS)
    counts = collections.Counter()
    for (lead, trail), reading in chosen.items():
        table[(lead - 0x81) * COLS + (trail - 0x40)] = number[reading]
        counts[area_of(lead, trail)] += 1
    return syllables, table, counts


def write(out_path, source, version, syllables, table):
    lines = [
        '// Generated by tools/pinyin/gen_hzspell_table.py; do not edit.',
        '//',
        '// Readings: %s' % os.path.basename(source),
        '// from the Debian package %s %s,' % (DEBIAN_PACKAGE, version),
        '// MIT licence, Copyright 2016 mozillazg; the readings derive from',
        "// the Unicode Han Database (Unihan). One toneless reading per character:",
        '// the first one listed, for GB2312 level 1 the first one with the initial',
        '// of the code range, and the fixed readings of the level-1 polyphones.',
        '',
        '#include "HzSpell.h"',
        '',
        '// %d syllables, number 0 meaning no reading.' % len(syllables),
        'const char THzSpell::Syllables[][7] = {',
        '    "",',
    ]
    for i in range(0, len(syllables), 10):
        lines.append('    ' + ' '.join('"%s",' % s for s in syllables[i:i + 10]))
    lines += [
        '};',
        '',
        '// Index (lead - 0x81) * 191 + (trail - 0x40).',
        'const quint16 THzSpell::CharTable[%d] = {' % (ROWS * COLS),
    ]
    for row in range(ROWS):
        lines.append('    // lead 0x%02X' % (0x81 + row))
        entries = table[row * COLS:(row + 1) * COLS]
        for i in range(0, COLS, 16):
            lines.append('    ' + ' '.join('%d,' % v for v in entries[i:i + 16]))
    lines += ['};', '']
    with open(out_path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--dict', default=DEFAULT_DICT, help='go-pinyin pinyin_dict.go')
    parser.add_argument('--out', default=DEFAULT_OUT, help='generated C++ source')
    args = parser.parse_args()

    readings = load_dictionary(args.dict)
    syllables, table, counts = build(readings)
    write(args.out, args.dict, package_version(), syllables, table)
    print('wrote %s: %d syllables' % (args.out, len(syllables)))
    print('codes with a reading per area:')
    for area in AREAS:
        print('  %-15s %5d' % (area, counts[area]))


if __name__ == '__main__':
    main()
