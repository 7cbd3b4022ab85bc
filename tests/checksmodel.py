"""A model of the checks of a translation against its line, written apart from the program's
code: regular expressions over code points and Python's own character database, where the code
walks UTF-16 code units and asks ICU. The differential test compares the two on random pairs;
the model also tells what any output of the checks must hold.

usage: checksmodel.py [-max-width N] [-max-growth PERCENT] PAIRS
PAIRS, one pair a line: the line and its translation, each "x" and the hex of its UTF-16LE
code units, split by a space. Prints, one line a pair: the line's display width, the
translation's, and the problems' names split by commas ("-" for none), as checks_driver does.

Python's Unicode version is not ICU's: the two agree on the characters the generator draws
from (tests/checkspairs.py), not necessarily on others."""

import collections
import re
import sys
import unicodedata

NAMES = ['placeholders', 'accelerator', 'whitespace', 'punctuation', 'markup', 'width',
         'growth']

# White space: the separators (all in the first plane) and the controls that space text.
SPACES = '\t\n\x0b\x0c\r\x85' + ''.join(
    chr(c) for c in range(0x10000) if unicodedata.category(chr(c)) in ('Zs', 'Zl', 'Zp'))
SPACE = '[' + re.escape(SPACES) + ']'

MARKER = re.compile('%L?([0-9])([0-9]?)')
PLURAL = re.compile('%L?n')
# "&&" first, so that its second '&' starts nothing.
AMPERSAND = re.compile('&&|&(?=[^&' + re.escape(SPACES) + '])')
NAME = '([A-Za-z][A-Za-z0-9]*)'
TAG = re.compile('<' + NAME + '(>|/>|' + SPACE + '[^<>]*>)|</' + NAME + SPACE + '*>')
LEADING = re.compile(SPACE + '*')
TRAILING = re.compile(SPACE + r'*\Z')

ENDINGS = {}
for chars, name in (('.\u3002\uff61\u0964\u06d4', 'full stop'), ('?\uff1f\u061f', 'question'),
                    ('!\uff01', 'exclamation'), (':\uff1a', 'colon'), ('\u2026', 'ellipsis')):
    for char in chars:
        ENDINGS[char] = name


def markers(text):
    return collections.Counter(int(m.group(1) + m.group(2)) for m in MARKER.finditer(text))


def accelerators(text):
    return sum(1 for m in AMPERSAND.finditer(text) if m.group() == '&')


def tags(text):
    found = collections.Counter()
    for m in TAG.finditer(text):
        if m.group(3):
            found[('close', m.group(3).lower())] += 1
        elif m.group(2).endswith('/>'):
            found[('self-closing', m.group(1).lower())] += 1
        else:
            found[('open', m.group(1).lower())] += 1
    return found


def ending(text):
    text = text[:len(text) - len(TRAILING.search(text).group())]
    if text.endswith('...'):
        return 'ellipsis'
    return ENDINGS.get(text[-1:], None)


def char_width(char):
    if unicodedata.category(char) in ('Mn', 'Me', 'Cf'):
        return 0
    return 2 if unicodedata.east_asian_width(char) in ('W', 'F') else 1


def width(text):
    """Columns, over code points: a lone surrogate is a code point of its own here."""
    return sum(char_width(char) for char in text)


def check(line, translation, max_width=None, max_growth=None):
    """The names of the problems of the translation of line, in output order."""
    found = set()
    if markers(line) != markers(translation) or \
            len(PLURAL.findall(line)) != len(PLURAL.findall(translation)):
        found.add('placeholders')
    if accelerators(line) != accelerators(translation):
        found.add('accelerator')
    if LEADING.match(line).group() != LEADING.match(translation).group() or \
            TRAILING.search(line).group() != TRAILING.search(translation).group():
        found.add('whitespace')
    if ending(line) != ending(translation):
        found.add('punctuation')
    if tags(line) != tags(translation):
        found.add('markup')
    if max_width is not None and width(translation) > max_width:
        found.add('width')
    if max_growth is not None and width(translation) * 100 > width(line) * max_growth:
        found.add('growth')
    return [name for name in NAMES if name in found]


def from_hex(field):
    """A text from "x" and the hex of its UTF-16LE code units, its pairs joined."""
    if not field.startswith('x'):
        raise ValueError('not a text: ' + field)
    return bytes.fromhex(field[1:]).decode('utf-16-le', 'surrogatepass')


def to_hex(text):
    return 'x' + text.encode('utf-16-le', 'surrogatepass').hex()


def read_pairs(path):
    with open(path, encoding='ascii') as data:
        return [tuple(from_hex(field) for field in record.split(' '))
                for record in data.read().split('\n') if record]


def result(line, translation, max_width=None, max_growth=None):
    """What checks_driver prints for the pair."""
    return '%d %d %s' % (width(line), width(translation),
                         ','.join(check(line, translation, max_width, max_growth)) or '-')


def limits(args):
    """-max-width and -max-growth taken out of args: (max_width, max_growth, rest)."""
    found = {'-max-width': None, '-max-growth': None}
    while len(args) > 1 and args[0] in found:
        found[args[0]] = int(args[1])
        args = args[2:]
    return found['-max-width'], found['-max-growth'], args


def main(args):
    max_width, max_growth, rest = limits(args)
    if len(rest) != 1:
        sys.stderr.write('usage: checksmodel.py [-max-width N] [-max-growth PERCENT] PAIRS\n')
        return 1
    for line, translation in read_pairs(rest[0]):
        print(result(line, translation, max_width, max_growth))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
