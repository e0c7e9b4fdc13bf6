#!/usr/bin/python3
"""Checks every TrueType program a PDF embeds with a font checker that is not
ours (fontTools): each table parses, each table's checksum and the font's
checkSumAdjustment are the ones recalculated, and the table directory's
search fields fit its table count. Prints the problems as JSON, one list per
font program; exits 2 where fontTools is missing."""
import io
import json
import re
import struct
import subprocess
import sys
import tempfile

try:
    from fontTools.ttLib import TTFont
except ImportError:
    sys.exit(2)


def programs(pdf):
    with tempfile.NamedTemporaryFile(suffix='.pdf') as qdf:
        subprocess.run(['qpdf', '--qdf', '--object-streams=disable', pdf, qdf.name], check=True)
        text = open(qdf.name, 'rb').read()
        for number in sorted({int(n) for n in re.findall(rb'/FontFile2 (\d+) 0 R', text)}):
            yield subprocess.run(['qpdf', '--show-object=%d' % number, '--filtered-stream-data', qdf.name],
                                 check=True, capture_output=True).stdout


def checksum(data):
    data += b'\0' * (-len(data) % 4)
    return sum(struct.unpack('>%dI' % (len(data) // 4), data)) & 0xffffffff


def problems(data):
    found = []
    tables = struct.unpack('>H', data[4:6])[0]
    search, selector, shift = struct.unpack('>HHH', data[6:12])
    power = 1
    while power * 2 <= tables:
        power *= 2
    if search != power * 16 or (1 << selector) != power or shift != tables * 16 - search:
        found.append('searchRange %d for %d tables' % (search, tables))
    font = TTFont(io.BytesIO(data), checkChecksums=0)
    for tag in font.reader.keys():
        raw = font.reader[tag]
        if tag == 'head':
            raw = raw[:8] + b'\0\0\0\0' + raw[12:]
        if checksum(raw) != font.reader.tables[tag].checkSum:
            found.append('checksum of ' + tag)
        font[tag]  # parses the table
    adjustment = struct.unpack('>I', font.reader['head'][8:12])[0]
    if (0xB1B0AFBA - (checksum(data) - adjustment)) & 0xffffffff != adjustment:
        found.append('checkSumAdjustment')
    return found


result = []
for program in programs(sys.argv[1]):
    try:
        result.append(problems(program))
    except Exception as error:  # a font the checker cannot read at all
        result.append(['unreadable: %s' % error])
print(json.dumps(result))
