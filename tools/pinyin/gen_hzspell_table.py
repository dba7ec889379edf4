#!/usr/bin/env python3
"""Writes src/customers/HzSpellTable.cpp: the syllable list and the per-code
character table behind THzSpell::PinyinInitials.

Readings: the customary reading of the Unicode Han Database (kMandarin of
Unihan_Readings.txt, Debian unicode-data) first, then the pinyin dictionary
that Debian ships in golang-github-mozillazg-go-pinyin-dev (pinyin_dict.go).
GB2312 level 1 keeps its own rule. Python standard library only; the output
depends on the input files alone.
"""

import argparse
import bz2
import collections
import os
import re
import subprocess
import sys
import unicodedata

DEFAULT_DICT = '/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go'
DEBIAN_PACKAGE = 'golang-github-mozillazg-go-pinyin-dev'
DEFAULT_UNIHAN = '/usr/share/unicode/Unihan_Readings.txt.bz2'
UNIHAN_PACKAGE = 'unicode-data'
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

# Level-2 characters whose kMandarin is not what clerks type: the reading of
# the surname or given name (晟, 覃, 阚, 隗), or of the one word the character
# lives in (蹒跚, 彷徨).
TYPED_READINGS = {
    0xEAC9: ('晟', 'sheng'), 0xF1FB: ('覃', 'qin'), 0xE3DB: ('阚', 'kan'),
    0xDAF3: ('隗', 'wei'), 0xF5E7: ('蹒', 'pan'), 0xE1DD: ('彷', 'pang'),
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


def open_text(path):
    return bz2.open(path, 'rt', encoding='utf-8') if path.endswith('.bz2') else open(path, encoding='utf-8')


def load_customary(path):
    # kMandarin: the customary reading, the mainland one first.
    customary = {}
    with open_text(path) as f:
        for line in f:
            if not line.startswith('U+'):
                continue
            cp, field, value = line.rstrip('\n').split('\t', 2)
            if field == 'kMandarin':
                customary[int(cp[2:], 16)] = [toneless(r) for r in value.split()]
    if not customary:
        sys.exit('no kMandarin readings found in %s' % path)
    return customary


def customary_first(customary, listed):
    merged = {}
    for cp in set(customary) | set(listed):
        ordered = []
        for reading in customary.get(cp, []) + listed.get(cp, []):
            if reading not in ordered:
                ordered.append(reading)
        merged[cp] = ordered
    return merged


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


def checked(code, cp, entry):
    char, reading = entry
    if chr(cp) != char:
        sys.exit('%04X decodes to %s, expected %s' % (code, chr(cp), char))
    return reading


def choose_reading(lead, trail, cp, listed, merged):
    code = lead << 8 | trail
    if area_of(lead, trail) == 'GB2312 level 1':
        if code in LEVEL1_EXCEPTIONS:
            return checked(code, cp, LEVEL1_EXCEPTIONS[code])
        # The code range fixes the initial; the reading list the syllable.
        letter = level1_letter(code)
        for reading in readings_of(cp, listed):
            if reading[0] == letter:
                return reading
        sys.exit('%04X %s has no reading starting with %s' % (code, chr(cp), letter))
    if code in TYPED_READINGS:
        return checked(code, cp, TYPED_READINGS[code])
    candidates = readings_of(cp, merged)
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


def package_version(package):
    try:
        out = subprocess.run(['dpkg-query', '-W', '-f=${Version}', package],
                             capture_output=True, text=True, check=True).stdout.strip()
        return out or 'unknown version'
    except (OSError, subprocess.CalledProcessError):
        return 'unknown version'


def build(listed, customary):
    merged = customary_first(customary, listed)
    chosen = {}
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            cp = decode(lead, trail)
            if cp is None or not is_ideograph(cp):
                continue
            if area_of(lead, trail) == 'other':
                continue
            reading = choose_reading(lead, trail, cp, listed, merged)
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


def write(out_path, sources, syllables, table):
    (unihan, unihan_version), (listed, listed_version) = sources
    lines = [
        '// Generated by tools/pinyin/gen_hzspell_table.py; do not edit.',
        '//',
        '// Readings: kMandarin of %s from the Debian package' % os.path.basename(unihan),
        '// %s %s (Unicode Han Database, Unicode licence), then' % (UNIHAN_PACKAGE, unihan_version),
        '// %s from the Debian package' % os.path.basename(listed),
        '// %s %s,' % (DEBIAN_PACKAGE, listed_version),
        '// MIT licence, Copyright 2016 mozillazg. One toneless reading per character:',
        '// the customary one, for six level-2 characters the one clerks type,',
        '// for GB2312 level 1 the first listed one with the initial of the code',
        '// range, and the fixed readings of the level-1 polyphones.',
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
    parser.add_argument('--unihan', default=DEFAULT_UNIHAN, help='Unihan_Readings.txt (.bz2)')
    parser.add_argument('--out', default=DEFAULT_OUT, help='generated C++ source')
    args = parser.parse_args()

    listed = load_dictionary(args.dict)
    customary = load_customary(args.unihan)
    syllables, table, counts = build(listed, customary)
    write(args.out, [(args.unihan, package_version(UNIHAN_PACKAGE)),
                     (args.dict, package_version(DEBIAN_PACKAGE))], syllables, table)
    print('wrote %s: %d syllables' % (args.out, len(syllables)))
    print('codes with a reading per area:')
    for area in AREAS:
        print('  %-15s %5d' % (area, counts[area]))


if __name__ == '__main__':
    main()
