"""trcoverage's checks end to end against the model (tests/checksmodel.py): a random platform of
several languages, each from one to three components, whose catalogs translate lines with
faults of every kind planted (and changes that are none), keep lines the same or leave them out;
the outputs of trcoverage on it must say of every line and language what the model says of the
answering translation, the first component's answer by the components' order. The same seed
gives the same bytes.

usage: checkscoverage.py make SEED COUNT DIR
           DIR/Strings.txt (COUNT different lines, a few twice, an empty one), the catalogs'
           sources DIR/COMPONENT_LOCALE.ts, and DIR/answers.json: every component's answer
           for every line, per language; prints the languages
       checkscoverage.py compare DIR MAX_WIDTH MAX_GROWTH JSON CSV
           -format json and -format csv of -checks -max-width MAX_WIDTH -max-growth
           MAX_GROWTH -missing, in the languages' order, against the model
       checkscoverage.py gate DIR MAX_WIDTH STATUS STDERR TEXT LANGUAGE...
           -fail-on-checks -max-width MAX_WIDTH -lang LANGUAGE... (the text format): its
           status, message and Flagged column against the model"""

import csv
import json
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checkspairs  # noqa: E402
import checksmodel  # noqa: E402
import pagetools  # noqa: E402

# Per language, its components and the locale of each one's catalog file: Zeta answers before
# alpha (capitals sort first), pt_BR's alpha is found through its fallback to pt. fr plants no
# fault, so that a gate without limits passes it over.
LANGUAGES = {
    'de': {'Zeta': 'de', 'alpha': 'de', 'core': 'de'},
    'ja': {'alpha': 'ja', 'core': 'ja'},
    'ar': {'Zeta': 'ar'},
    'pt_BR': {'alpha': 'pt', 'core': 'pt_BR'},
    'fr': {'Zeta': 'fr', 'core': 'fr'},
}
CLEAN = {'fr'}


def answer(components, line):
    """The answering translation: the first component's, in UTF-16 code-unit order (code
    points order these names alike), or None where none holds the line."""
    for name in sorted(components):
        if line in components[name]:
            return components[name][line]
    return None


def make(seed, count, directory):
    rng = random.Random(seed)
    made = {}  # text: pieces, in the order made
    while len(made) < count:
        pieces = checkspairs.pieces(rng, safe=True)
        line = checkspairs.text(pieces)
        if line not in made and line.strip():
            made[line] = pieces
    lines = list(made)
    # A line met again later, and one no catalog can hold.
    for _ in range(count // 50):
        lines.insert(rng.randint(len(lines) // 2, len(lines)), rng.choice(lines[:len(lines) // 2]))
    lines.insert(rng.randint(0, len(lines)), '')
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, 'Strings.txt'), 'w', encoding='utf-8', newline='') as out:
        out.write(''.join(line + '\n' for line in lines))

    answers = {}
    for language, files in LANGUAGES.items():
        vocabulary = checkspairs.Vocabulary(
            rng, pagetools.ALPHABETS.get(language, checkspairs.LATIN))
        wide = language in ('ja', 'zh_CN', 'ko')
        held = {name: {} for name in files}
        for line, pieces in made.items():
            if rng.random() < 0.08:
                continue  # untranslated: no component holds it
            holders = [name for name in files if rng.random() < 0.4] or [rng.choice(list(files))]
            for name in holders:
                translation = line
                if rng.random() >= 0.08:
                    changed = checkspairs.translate(rng, pieces, vocabulary, wide)
                    for _ in range(0 if language in CLEAN else rng.choice([0, 0, 0, 1, 1, 2])):
                        checkspairs.plant(rng, changed, safe=True)
                    # A catalog leaves an empty translation out.
                    translation = checkspairs.text(changed) or line
                held[name][line] = translation
        for name, locale in files.items():
            with open(os.path.join(directory, '%s_%s.ts' % (name, locale)), 'w',
                      encoding='utf-8', newline='') as out:
                out.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n'
                          '<TS version="2.1" language="%s">\n<context>\n'
                          '    <name>QObject</name>\n' % locale)
                for line, translation in held[name].items():
                    out.write('    <message>\n        <source>%s</source>\n'
                              '        <translation>%s</translation>\n    </message>\n'
                              % (checkspairs.xml(line), checkspairs.xml(translation)))
                out.write('</context>\n</TS>\n')
        answers[language] = held
    with open(os.path.join(directory, 'answers.json'), 'w', encoding='utf-8') as out:
        json.dump({'lines': lines, 'languages': answers}, out, ensure_ascii=False)


def expected(directory, max_width, max_growth):
    """What the model says of each language: its name with (translated, same, missing,
    problems), missing as [number, text, same] and problems as [number, text, translation,
    names], in line order."""
    with open(os.path.join(directory, 'answers.json'), encoding='utf-8') as data:
        run = json.load(data)
    results = {}
    for language, components in run['languages'].items():
        translated = same = 0
        missing, problems = [], []
        for number, line in enumerate(run['lines'], 1):
            given = answer(components, line)
            if given is None or given == line:
                same += given is not None
                missing.append([number, line, given is not None])
                continue
            translated += 1
            names = checksmodel.check(line, given, max_width, max_growth)
            if names:
                problems.append([number, line, given, names])
        results[language] = (translated, same, missing, problems)
    return len(run['lines']), results


class Differences:
    """Counts what differs and shows the first few."""

    def __init__(self):
        self.count = 0

    def check(self, what, got, want):
        if got == want:
            return
        self.count += 1
        if self.count <= 20:
            if isinstance(want, list) and isinstance(got, list):
                extra = [item for item in got if item not in want][:3]
                lacking = [item for item in want if item not in got][:3]
                print('%s: %d items, model %d; not in the model %r; missing %r'
                      % (what, len(got), len(want), extra, lacking))
            else:
                print('%s: %r, model %r' % (what, got, want))


def compare(directory, max_width, max_growth, json_path, csv_path):
    lines, model = expected(directory, max_width, max_growth)
    differ = Differences()
    with open(json_path, encoding='utf-8') as data:
        output = json.load(data)
    differ.check('lines', output['lines'], lines)
    differ.check('languages', [entry['language'] for entry in output['languages']], list(model))
    seen = dict.fromkeys(checksmodel.NAMES, 0)
    for entry in output['languages']:
        language = entry['language']
        translated, same, missing, problems = model.get(language, (0, 0, [], []))
        for name in ('translated', 'untranslated', 'same', 'flagged'):
            want = {'translated': translated, 'untranslated': lines - translated, 'same': same,
                    'flagged': len(problems)}[name]
            differ.check('%s %s' % (language, name), entry.get(name), want)
        differ.check('%s missing' % language,
                     [[item['line'], item['text'], item['same']] for item in entry['missing']],
                     missing)
        differ.check('%s problems' % language,
                     [[item['line'], item['text'], item['translation'], item['checks']]
                      for item in entry['problems']], problems)
        for problem in problems:
            for name in problem[3]:
                seen[name] += 1
    # CSV's problem records are JSON's problems, language by language.
    with open(csv_path, encoding='utf-8', newline='') as data:
        records = [record for record in csv.reader(data) if record[0] == 'problem']
    differ.check('CSV problem records',
                 [[record[1], int(record[2]), record[3], record[8], record[12].split(' ')]
                  for record in records],
                 [[language, *problem] for language, result in model.items()
                  for problem in result[3]])
    # A run the model passes proves little unless every check finds something somewhere, and
    # some translations pass them all.
    for name, times in seen.items():
        if times < 5:
            print('too few problems of %s: %d' % (name, times))
            differ.count += 1
    clean = sum(result[0] - len(result[3]) for result in model.values())
    if clean < lines:
        print('too few translations without problems: %d' % clean)
        differ.count += 1
    print('%d lines; translated, same, flagged: %s; problems: %s'
          % (lines, ', '.join('%s %d %d %d' % (language, result[0], result[1], len(result[3]))
                              for language, result in model.items()),
             ', '.join('%s %d' % item for item in seen.items())))
    return 1 if differ.count else 0


def gate(directory, max_width, status, stderr_path, text_path, languages):
    lines, model = expected(directory, max_width, None)
    differ = Differences()
    flagged = [(language, len(model[language][3])) for language in languages]
    failing = ', '.join('%s %d' % item for item in flagged if item[1])
    if not failing or all(item[1] for item in flagged):
        print('the gate needs languages with problems and without: %r' % flagged)
        differ.count += 1
    differ.check('status', status, 7 if failing else 0)
    with open(stderr_path, encoding='utf-8') as data:
        differ.check('message', data.read(),
                     'Translations with problems: %s.\n' % failing if failing else '')
    # The summary's rows: the language, then translated, untranslated, same, flagged, share.
    with open(text_path, encoding='utf-8') as data:
        rows = [row.split() for row in data.read().split('\n\n')[1].splitlines()[1:]]
    differ.check('Flagged column', [(row[0], int(row[4])) for row in rows], flagged)
    return 1 if differ.count else 0


def main(args):
    if len(args) == 4 and args[0] == 'make':
        make(int(args[1]), int(args[2]), args[3])
        print(' '.join(LANGUAGES))
        return 0
    if len(args) == 6 and args[0] == 'compare':
        return compare(args[1], int(args[2]), int(args[3]), args[4], args[5])
    if len(args) >= 7 and args[0] == 'gate':
        return gate(args[1], int(args[2]), int(args[3]), args[4], args[5], args[6:])
    sys.stderr.write(__doc__.split('\n\n')[1] + '\n')
    return 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
