"""Random lines and translations for the checks of a translation: pairs for the differential
test against the model (tests/checksmodel.py), and the pieces tests/checkscoverage.py makes
its catalogs of. Every fault a check looks for is planted now and then, among changes that are
none (markers in another order, full-width punctuation, an ellipsis for three dots, tags in
capitals), and short texts of the characters that start or end something put the parsers'
edges to the test. The same seed gives the same bytes.

usage: checkspairs.py pairs SEED COUNT PAIRS
           COUNT pairs, written as checksmodel.py reads them
       checkspairs.py realistic SEED COUNT PAIRS [LANGUAGE]
           only UI texts and their translations, as a catalog holds them, into ten languages
           (de fr ru ar he el ja zh_CN ko uk) or the one given; a marker, an accelerator or a
           tag in one line of three or four
       checkspairs.py compare [-max-width N] [-max-growth PERCENT] PAIRS RESULTS
           what checks_driver printed for PAIRS against the model; every problem the limits
           allow must be found in some pairs and none in others, or the pairs prove little"""

import os
import random
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checksmodel  # noqa: E402
import pagetools  # noqa: E402


def span(first, last):
    return [chr(c) for c in range(first, last + 1)]


# Characters on whose properties Python (Unicode 14 and later) and ICU (72 and later) agree:
# blocks long assigned and not changed since, in every class the width distinguishes.
REPERTOIRE = {
    'latin': span(0x21, 0x7e) + list('éüßñçåøÀÉ') + ['\u00a0', '\u00ad'],
    'letters': span(0x391, 0x3a9) + span(0x430, 0x44f) + span(0x5d0, 0x5ea) + span(0x627, 0x64a)
    + span(0x915, 0x939),
    'marks': span(0x300, 0x36f) + span(0x941, 0x948) + span(0x20dd, 0x20e0) + ['\u3099', '\u309a']
    + span(0x1d167, 0x1d169),
    'format': span(0x200b, 0x200f) + span(0x2060, 0x2064) + ['\ufeff'] + span(0xe0020, 0xe007f),
    'wide': span(0x4e00, 0x9fa5) + span(0x3041, 0x3096) + span(0x30a1, 0x30fa)
    + span(0xac00, 0xd7a3) + span(0xff01, 0xff5e) + span(0x1f600, 0x1f64f)
    + span(0x20000, 0x2a6d6),
    'narrow': span(0xff61, 0xff9f) + span(0x1d400, 0x1d433) + span(0x10400, 0x1044f)
    + span(0x660, 0x669) + ['\u2026', '\u3001'],
    'spaces': [' ', '\t', '\u00a0', '\u3000', '\u2028', '\u2029', '\u2002', '\u202f', '\u205f',
               '\u1680', '\x85', '\n', '\r', '\x0b', '\x0c'],
    'controls': ['\x00', '\x1b', '\x7f', '\x9f'],
    # Two that make an assigned character should they meet.
    'lone': ['\ud800', '\udc00'],
}
# Python's database gives an unassigned character a width of its own.
REPERTOIRE = {kind: [c for c in chars if unicodedata.category(c) != 'Cn']
              for kind, chars in REPERTOIRE.items()}
# What starts or ends a marker, an accelerator, a tag or an ending, and its neighbours.
EDGES = list('%L0123456789n&<>/bBiaA .:?!') + ['...', '\u2026', '\u3002', '\uff1f', '\u061f',
                                               '\u0964', '\u06d4', '\uff61', '\uff01', '\uff1a',
                                               '<b', '<b ', '</b', '<br/', '%L', '%1', '&&']
# Ending punctuation by class, and what a translation may use for it instead.
ENDS = {'.': ['.', '\u3002', '\uff61', '\u0964', '\u06d4'], '?': ['?', '\uff1f', '\u061f'],
        '!': ['!', '\uff01'], ':': [':', '\uff1a'], '...': ['...', '\u2026'],
        '\u2026': ['\u2026', '...'], '': ['']}
TAGS = ['b', 'i', 'u', 'a', 'br', 'p', 'h1', 'span', 'font']


def draw(rng, kinds):
    return rng.choice(REPERTOIRE[rng.choice(kinds)])


class Vocabulary:
    """The pseudo-translations of pagetools' UI words in one language's script."""

    def __init__(self, rng, alphabet):
        self.words = {word: ''.join(rng.choice(alphabet) for _ in range(max(2, len(word) +
                                                                            rng.randint(-1, 3))))
                      for word in pagetools.WORDS}

    def __getitem__(self, word):
        return self.words[word]


def pieces(rng, safe, rich=1.0):
    """A source text as pieces (kind, text): UI words with markers, accelerators, tags, white
    space and an ending. safe: only what a strings file and a catalog can hold (tabs, but no
    line break, carriage return, NUL, lone surrogate or other control). rich: how
    often a word is something else, 1 for the tests' mix, where a line holds several."""
    out = []
    if rng.random() < 0.15:
        out.append(('space', rng.choice([' ', '  ', '\t', '\u00a0']
                                        if safe else [' ', '\t', '\n', '\u3000', '\u00a0'])))
    count = rng.randint(1, 7)
    for i in range(count):
        if i:
            out.append(('text', ' '))
        roll = rng.random() / rich
        if roll < 0.12:
            out.append(('marker', rng.choice(['%1', '%2', '%3', '%L1', '%10', '%99', '%n', '%Ln',
                                              '%01'])))
        elif roll < 0.2:
            word = rng.choice(pagetools.WORDS)
            name = rng.choice(TAGS)
            if name == 'br':
                out.append(('tag', rng.choice(['<br/>', '<br />'])))
            else:
                attributes = rng.choice(['', '', ' href="x"', ' class="k" id=t'])
                out.append(('tag', '<%s%s>' % (name, attributes)))
                out.append(('word', word))
                out.append(('tag', '</%s>' % name))
        elif roll < 0.28:
            out.append(('accel', '&'))
            out.append(('word', rng.choice(pagetools.WORDS)))
        elif roll < 0.31:
            out.append(('text', rng.choice(['&&', '100%', 'a < b', 'R&D', '& ', '%%1'])))
        elif roll < 0.36 and not safe:
            out.append(('text', ''.join(draw(rng, ['marks', 'format', 'wide', 'narrow', 'lone'])
                                        for _ in range(rng.randint(1, 3)))))
        else:
            out.append(('word', rng.choice(pagetools.WORDS)))
    out.append(('end', rng.choice(['', '', '.', '.', '?', '!', ':', '...', '\u2026'])))
    if rng.random() < 0.15:
        out.append(('space', rng.choice([' ', '  ', '\t'] if safe else [' ', '\n', '\u3000'])))
    return out


def text(pieces):
    return ''.join(piece for _, piece in pieces)


def translate(rng, pieces, vocabulary, wide):
    """A translation that changes nothing a check looks at: words in another script and order,
    markers in another order, another form of the same ending, tag names in capitals."""
    markers = [piece for kind, piece in pieces if kind == 'marker']
    rng.shuffle(markers)
    out = []
    for kind, piece in pieces:
        if kind == 'word':
            out.append((kind, vocabulary[piece]))
        elif kind == 'marker':
            out.append((kind, markers.pop()))
        elif kind == 'end':
            out.append((kind, rng.choice(ENDS[piece]) if wide or rng.random() < 0.3 else piece))
        elif kind == 'tag' and rng.random() < 0.2:
            out.append((kind, piece.upper()))
        else:
            out.append((kind, piece))
    # A text with white space at an end ("& ") could end up first or last.
    if rng.random() < 0.3 and not any(kind == 'text' and piece.strip() not in ('', piece)
                                      for kind, piece in out):
        # Words in another order: the pieces between spaces, a tag with its word among them.
        first = 1 if out[0][0] == 'space' else 0
        last = next(i for i, (kind, _) in enumerate(out) if kind == 'end')
        segments = [[]]
        for piece in out[first:last]:
            if piece == ('text', ' '):
                segments.append([])
            else:
                segments[-1].append(piece)
        rng.shuffle(segments)
        body = []
        for segment in segments:
            body += ([('text', ' ')] if body else []) + segment
        out[first:last] = body
    return out


def plant(rng, pieces, safe):
    """One fault of a random kind, where the pieces allow it."""
    fault = rng.choice(['placeholders', 'accelerator', 'whitespace', 'punctuation', 'markup'])
    spots = [i for i, (kind, _) in enumerate(pieces)
             if kind == {'placeholders': 'marker', 'accelerator': 'accel', 'markup': 'tag'}
             .get(fault, '')]
    if fault == 'placeholders':
        if spots and rng.random() < 0.6:
            i = rng.choice(spots)
            kind, piece = pieces[i]
            pieces[i] = (kind, rng.choice(['', '%5', '%\u0661', piece[:-1], piece + '%1',
                                           '%n' if 'n' not in piece else '%1', '%' + piece]))
        else:
            pieces.insert(rng.randrange(len(pieces)), ('marker', rng.choice(['%1', '%n', '%Ln'])))
    elif fault == 'accelerator':
        if spots:
            i = rng.choice(spots)
            pieces[i] = ('accel', rng.choice(['', '&&', '& ']))
        else:
            pieces.insert(rng.randrange(len(pieces)), ('accel', '&'))
    elif fault == 'whitespace':
        choices = [' ', '\t', '\u00a0'] if safe else [' ', '\n', '\u3000', '\u00a0', '\u2028']
        if rng.random() < 0.5:
            pieces.insert(0, ('space', rng.choice(choices)))
        else:
            pieces.append(('space', rng.choice(choices)))
    elif fault == 'punctuation':
        ends = [i for i, (kind, _) in enumerate(pieces) if kind == 'end']
        pieces[ends[0]] = ('end', rng.choice(['', '.', '\u3002', '?', '!', '\uff01', ':', '\u2026',
                                              '..', '....']))
    else:
        if spots and rng.random() < 0.7:
            i = rng.choice(spots)
            kind, piece = pieces[i]
            pieces[i] = (kind, rng.choice(['', piece.replace('/', ''), piece.replace('<', '</', 1),
                                           piece.replace('>', '/>'), '<em>', piece + piece]))
        else:
            pieces.insert(rng.randrange(len(pieces)), ('tag', rng.choice(['<b>', '<br/>', '</i>'])))


def realistic_pair(rng, vocabularies, safe=False, rich=1.0):
    """A UI text and its translation into a random language, with a fault or two now and then.
    A translation that is all spaces and punctuation is redone: a catalog needs a translation
    that differs from its line."""
    line = pieces(rng, safe, rich)
    name, vocabulary = rng.choice(vocabularies)
    translation = translate(rng, line, vocabulary, name in ('ja', 'zh_CN', 'ko'))
    for _ in range(rng.choice([0, 0, 0, 1, 1, 2])):
        plant(rng, translation, safe)
    if not safe and rng.random() < 0.1:
        # Grown or shrunk far, for the width and growth checks.
        translation.append(('text', ''.join(draw(rng, ['wide', 'latin', 'marks'])
                                            for _ in range(rng.randint(0, 60)))))
    return text(line), text(translation)


def edge_text(rng):
    length = rng.randint(0, 12)
    kinds = list(REPERTOIRE)
    return ''.join(rng.choice(EDGES) if rng.random() < 0.7 else draw(rng, kinds)
                   for _ in range(length))


def edge_pair(rng):
    """A short text of edge characters, and the same with a few characters changed."""
    line = edge_text(rng)
    translation = list(line)
    for _ in range(rng.randint(0, 3)):
        at = rng.randint(0, len(translation))
        roll = rng.random()
        if roll < 0.4 and at < len(translation):
            del translation[at]
        elif roll < 0.7:
            translation.insert(at, rng.choice(EDGES))
        else:
            translation[at:at + 1] = [edge_text(rng)]
    return line, ''.join(translation)


# A letter in twenty of German's or French's beyond ASCII, as in their own texts.
LATIN = 'abcdefghijklmnopqrstuvwxyz' * 12 + 'äöüßéèàç'


def vocabularies(rng):
    names = ['de', 'fr', 'ru', 'ar', 'he', 'el', 'ja', 'zh_CN', 'ko', 'uk']
    return [(name, Vocabulary(rng, pagetools.ALPHABETS.get(name, LATIN))) for name in names]


def write_pairs(path, pairs):
    with open(path, 'w', encoding='ascii') as out:
        for line, translation in pairs:
            out.write('%s %s\n' % (checksmodel.to_hex(line), checksmodel.to_hex(translation)))


def make_pairs(seed, count):
    rng = random.Random(seed)
    words = vocabularies(rng)
    return [realistic_pair(rng, words) if i % 2 else edge_pair(rng) for i in range(count)]


def xml(text):
    return text.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')


def compare(args):
    """The model's results against the driver's, printing the pairs that differ; every problem
    the limits allow must be found in some pairs and none in others."""
    max_width, max_growth, rest = checksmodel.limits(args)
    pairs = checksmodel.read_pairs(rest[0])
    with open(rest[1], encoding='utf-8') as data:
        actual = data.read().splitlines()
    if len(actual) != len(pairs):
        print('%d pairs, %d results' % (len(pairs), len(actual)))
        return 1
    failures = 0
    seen = dict.fromkeys(checksmodel.NAMES + ['-'], 0)
    for (line, translation), got in zip(pairs, actual):
        want = checksmodel.result(line, translation, max_width, max_growth)
        for name in want.split(' ')[2].split(','):
            seen[name] += 1
        if want != got:
            failures += 1
            if failures <= 20:
                print('line %r, translation %r: model %r, checks %r' % (line, translation, want,
                                                                         got))
    print('of %d pairs: %s' % (len(pairs), ', '.join('%s %d' % item for item in seen.items())))
    allowed = {'width': max_width is not None, 'growth': max_growth is not None}
    for name, times in seen.items():
        if allowed.get(name, True) and times < len(pairs) // 100:
            print('too few pairs with %s: %d' % (name, times))
            failures += 1
    if failures:
        print('%d of %d pairs differ or prove too little' % (failures, len(pairs)))
    return 1 if failures else 0


def main(args):
    if len(args) == 4 and args[0] == 'pairs':
        write_pairs(args[3], make_pairs(int(args[1]), int(args[2])))
        return 0
    if len(args) in (4, 5) and args[0] == 'realistic':
        rng = random.Random(int(args[1]))
        words = [entry for entry in vocabularies(rng) if entry[0] in args[4:] or len(args) == 4]
        if words:
            write_pairs(args[3], [realistic_pair(rng, words, safe=True, rich=0.25)
                                  for _ in range(int(args[2]))])
            return 0
    if len(args) >= 3 and args[0] == 'compare':
        return compare(args[1:])
    sys.stderr.write(__doc__.split('\n\n')[1] + '\n')
    return 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
