#!/usr/bin/env python3
"""Writes the recorded UNIMARC answers of the Z39.50 test server: ISO 2709 records in the three
character sets Ukrainian, Russian and Polish catalogues send (UTF-8, Windows-1251, ISO 5426)."""
import pathlib

FT, SD, RT = b'\x1e', b'\x1f', b'\x1d'


def field(ind, subfields):
    return ind.encode() + b''.join(SD + code.encode() + value for code, value in subfields) + FT


def record(fields):
    directory, data = b'', b''
    for tag, body in fields:
        directory += tag.encode() + b'%04d%05d' % (len(body), len(data))
        data += body
    directory += FT
    base = 24 + len(directory)
    length = base + len(data) + 1
    leader = b'%05dnam  22%05d   450 ' % (length, base)
    return leader + directory + data + RT


def general(charset):
    # 100 $a: character set at positions 26-27.
    return '20121201d2012    u  y0ukry{:<4}    ba'.format(charset).encode()


def book(isbn, charset, encode, title, author_statement, surname, forename, place, publisher, year, udc):
    return record([
        ('001', b'1' + FT),
        ('010', field('  ', [('a', isbn.encode())])),
        ('100', field('  ', [('a', general(charset))])),
        ('200', field('1 ', [('a', encode(title)), ('f', encode(author_statement))])),
        ('210', field('  ', [('a', encode(place)), ('c', encode(publisher)), ('d', year.encode())])),
        ('675', field('  ', [('a', udc.encode())])),
        ('700', field(' 1', [('a', encode(surname)), ('b', encode(forename))])),
    ])


def iso5426(text):
    # Non-spacing marks come before their letter.
    marks = {'ń': b'\xc2n', 'ó': b'\xc2o', 'ś': b'\xc2s', 'ż': b'\xc7z'}
    return b''.join(marks[c] if c in marks else c.encode('ascii') for c in text)


here = pathlib.Path(__file__).parent
records = {
    '9789660354128': book('978-966-03-5412-8', '50', lambda t: t.encode('utf-8'), 'Кобзар', 'Тарас Шевченко',
                          'Шевченко', 'Тарас', 'Київ', 'Дніпро', '2012', '821.161.2-1'),
    '9785170906307': book('978-5-17-090630-7', '89', lambda t: t.encode('cp1251'), 'Мастер и Маргарита',
                          'Михаил Булгаков', 'Булгаков', 'Михаил', 'Москва', 'АСТ', '2015', '821.161.1-31'),
    '9788373271005': book('978-83-7327-100-5', '03', iso5426, 'Pan Tadeusz', 'Adam Mickiewicz',
                          'Mickiewicz', 'Adam', 'Gdańsk', 'Wydawnictwo Morskie', '2010', '821.162.1-1'),
}
for isbn, data in records.items():
    (here / f'z3950_unimarc_{isbn}.mrc').write_bytes(data)
