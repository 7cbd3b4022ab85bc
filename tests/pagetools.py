"""What the page's browser tests and its benchmark share: data sets to feed the page writer
with (hostile texts, realistic ones of any size), and headless Chromium driven by Selenium.

Run with Debian's /usr/bin/python3, which has python3-selenium."""

import os
import random
import re
import shutil
import tempfile
import unicodedata

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
# Chromium reaches for the network at start (updates, sync, QUIC probes); here that is refused
# many times over, so none of it is started.
CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic',
                  '--no-first-run', '--disable-background-networking',
                  '--disable-component-update', '--disable-sync', '--disable-extensions',
                  '--hide-scrollbars', '--force-device-scale-factor=1', '--lang=en-US']


def missing_browser():
    """What is missing to run the browser, or None."""
    for path in (CHROMIUM, CHROMEDRIVER):
        if not os.access(path, os.X_OK):
            return path + ' is not installed'
    try:
        import selenium  # noqa: F401
    except ImportError:
        return 'python3-selenium is not installed'
    return None


# ----- Data sets

def utf16_hex(text):
    return 'x' + text.encode('utf-16-le', 'surrogatepass').hex()


def whole(text):
    """A text with its surrogate pairs joined (Python keeps a pair read as two units apart)."""
    return text.encode('utf-16-le', 'surrogatepass').decode('utf-16-le', 'surrogatepass')


CONTROLS = re.compile('[\x00-\x08\x0b-\x1f\x7f]')
# What shows as nothing: the C1 controls, the format characters (general category Cf), the line
# and paragraph separators. The first group is what stays: an emoji sequence joined by U+200D
# (pictographs here by their blocks, near enough for the texts of these tests) and a flag of
# tags.
PICTOGRAPH = ('(?:[\u00a9\u00ae\u203c\u2049\u2122\u2139\u2194-\u21aa\u231a-\u23ff'
              '\u25aa-\u25fe\u2600-\u27bf\u2b05-\u2b55\U0001F000-\U0001F1E5'
              '\U0001F201-\U0001F3FA\U0001F400-\U0001FAFF][\ufe0f\U0001F3FB-\U0001F3FF]?)')
INVISIBLE = re.compile(
    '(%s(?:\u200d%s)+|\U0001F3F4[\U000E0020-\U000E007E]+\U000E007F)|([%s])' % (
        PICTOGRAPH, PICTOGRAPH, ''.join(
            re.escape(chr(c)) for c in range(0x110000)
            if 0x80 <= c <= 0x9f or c in (0x2028, 0x2029) or
            unicodedata.category(chr(c)) == 'Cf')))


def visible(text):
    """The text as the page shows it: controls but tab and line feed as their pictures, what
    shows as nothing as its code point in a mark."""
    text = CONTROLS.sub(lambda m: chr(0x2421 if m.group() == '\x7f' else 0x2400 + ord(m.group())),
                        whole(text))
    return INVISIBLE.sub(lambda m: m.group(1) or '\u27e8U+%04X\u27e9' % ord(m.group(2)), text)


# The characters (code points) of a text the page shows at most.
SHOWN = 2000


def shown(text):
    """What the page holds of a text: the text and None, or when it is longer than the page
    shows, its first SHOWN characters and its length in characters. A surrogate pair is one
    character, and so is a lone surrogate."""
    text = whole(text)
    return (text[:SHOWN], len(text)) if len(text) > SHOWN else (text, None)


# The checks in the order of their bits, as the writer is given them (Problem in checks.h).
PROBLEMS = ['placeholders', 'accelerator', 'whitespace', 'punctuation', 'markup', 'width',
            'growth']


def problem_names(bits):
    return [name for k, name in enumerate(PROBLEMS) if bits >> k & 1]


class DataSet:
    """What a run tells the page: a header, per line a number, a text and per language a state
    letter (y translated, n not, s kept the same; capital: conflict), the translation and the
    problems of a translation as bits of PROBLEMS (0 for none), and the totals. checks: None
    for a run that does not check translations, else its (max width, max growth), each None
    when not given. Lines are made on demand by line(i), so that a large set is never held."""

    def __init__(self, languages, count, line, strings=b'Strings.txt',
                 directory=b'/usr/share/zappbase/translations',
                 made='2025-03-04T05:06:07+01:00', checks=None):
        self.languages = languages
        self.count = count
        self.line = line  # i -> (number, text, states, answers, problems or None)
        self.strings = strings
        self.directory = directory
        self.made = made
        self.checks = checks
        self.totals = None

    def checks_made(self):
        """The names of the checks the run makes, in order; empty when it does not check."""
        if self.checks is None:
            return []
        width, growth = self.checks
        return [name for name in PROBLEMS
                if (name != 'width' or width is not None) and
                (name != 'growth' or growth is not None)]

    def shown_problems(self, problems, j):
        """The problems a cell shows: none on a page of a run that does not check."""
        return problems[j] if problems and self.checks is not None else 0

    def lines(self):
        for i in range(self.count):
            yield self.line(i)

    def write(self, path):
        """Writes the set as page_feed reads it; fills in the totals: per language translated,
        untranslated, kept the same, and translated with problems."""
        languages = len(self.languages)
        translated, same, flagged = [0] * languages, [0] * languages, [0] * languages
        limit = lambda value: '-' if value is None else str(value)
        with open(path, 'w', encoding='ascii') as out:
            out.write('start x%s x%s %s %s %s\n' % (
                self.strings.hex(), self.directory.hex(), self.made,
                '-' if self.checks is None else '/'.join(limit(v) for v in self.checks),
                ' '.join(utf16_hex(name) for name in self.languages)))
            for number, text, states, answers, problems in self.lines():
                fields = ['line', str(number), utf16_hex(text), states]
                for j, (state, answer) in enumerate(zip(states, answers)):
                    if state in 'yY':
                        bits = problems[j] if problems else 0
                        fields.append(utf16_hex(answer) + (':%d' % bits if bits else ''))
                        translated[j] += 1
                        flagged[j] += self.shown_problems(problems, j) != 0
                    else:
                        fields.append('-')
                    same[j] += state in 'sS'
                out.write(' '.join(fields) + '\n')
            self.totals = [(translated[j], self.count - translated[j], same[j], flagged[j])
                           for j in range(languages)]
            out.write('finish ' + ' '.join('%d/%d/%d/%d' % counts for counts in self.totals) +
                      '\n')


# Texts that must show as text and do nothing else; each is also a translation.
HOSTILE = [
    '<script>alert(1)</script>',
    '"><img src=x onerror=alert(2)>',
    "'><svg onload=alert(3)>",
    '</textarea><script>alert(4)</script>',
    '</script><script>alert(5)</script>',
    '</SCRIPT ><script>alert(6)</script>',
    '<!--<script>alert(7)//',
    '</style><style>body{display:none}</style>',
    ']]><iframe src="javascript:alert(8)">',
    'javascript:alert(9)',
    "'; alert(10); '",
    '${alert(11)} {{constructor.constructor("alert(12)")()}}',
    '&lt;b&gt;escaped already&lt;/b&gt; &amp; &#60;',
    '<b>bold?</b> <a href="https://example.invalid/">link?</a>',
    '<link rel=stylesheet href=https://example.invalid/x.css>',
    '<meta http-equiv="refresh" content="0;url=https://example.invalid/">',
    '<base href="https://example.invalid/">',
    'NUL \x00 inside',
    '\x00',
    'lone high \ud800 surrogate',
    'lone low \udc00 surrogate',
    '\udbff',
    'escape \x1b[31mred\x1b[0m, bell \x07, delete \x7f, NEL \x85',
    'carriage\rreturn and \ttab',
    'line\u2028separator and paragraph\u2029separator',
    '\ufeffled by a byte-order mark',
    'noncharacters \ufffe \uffff \ufdd0',
    '\\u003cscript\\u003e in JSON escapes',
    '{"strings": "fake", "languages": ["xx"]}',
    '[[1,"fake line","y",["fake"]]]',
    'שמור את הקובץ',
    'حفظ الملف باسم…',
    'Save ملف now, then עברית, then back',
    '📁 Files 👩‍👩‍👧 🇩🇪 ✔️ 🏳️‍🌈',
    '   ',
    ' ',
    '',
    '\t',
    '  leading and trailing  ',
    'Résumé, Ångström, Straße, Ελληνικά, Русский, 日本語, 한국어',
    'Z\u0351\u0362\u0337a\u0336\u0352l\u0322\u0345g\u0315o\u0489 combining marks',
    'long ' + ' '.join('word%d' % i for i in range(1200)),
    'x' * 20000,
    # Cut after 2,000 characters, not code units: a pair is one and is never split.
    '😀' * 2000,
    '😀' * 2001,
    '\ud800' * 2000 + '\ud83d\ude00',
    # What shows as nothing, among them the bidi controls that would reorder the text.
    'mid\ufeffbom',
    'ZWSP a\u200bb, ZWNJ \u200c, ZWJ x\u200dy, LRM \u200e RLM \u200f, WJ \u2060\u2064, '
    'soft\u00adhyphen, NEL \x85',
    'abc \u202edef\u202c ghi \u202bמימין\u202c \u2067rtl\u2069 \u2066ltr\u2069 \u2068fsi\u2069 '
    '\u202dLRO\u202c \u202aLRE\u202c \u061c',
    # Every UTF-16 code unit, in lines short enough to show whole, and characters from each
    # plane beyond the first.
    *(''.join(chr(c) for c in range(start, min(start + SHOWN, 0x10000)))
      for start in range(0, 0x10000, SHOWN)),
    ''.join(chr(c) for c in (0x10000, 0x1f600, 0x1fffe, 0x1ffff, 0x2a6d6, 0xe0001, 0xffffd,
                             0x10fffe, 0x10ffff)),
]


def hostile_set():
    """The hostile texts as lines and as translations, in four languages, RTL among them; kept
    the same, and translations with problems of every kind."""
    languages = ['ar', 'de', 'he', 'x<b>y</b>\u202e']
    count = len(HOSTILE)

    def line(i):
        text = HOSTILE[i]
        states, answers, problems = '', [], []
        for j in range(len(languages)):
            state = 'ynYNysyS'[(i + j) % 8]
            states += state
            answers.append(HOSTILE[(i * 7 + j * 3 + 1) % count] if state in 'yY' else None)
            problems.append((i * 37 + j * 11) % 127 + 1 if state in 'yY' and i % 3 else 0)
        return i + 1, text, states, answers, problems

    return DataSet(languages, count, line,
                   strings='strings <i>x</i> "é"\u2067📁.txt\ufeff'.encode() + b'\xff',
                   directory=b'/tmp/cat\xe9logs \xc0\x80 \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x82 '
                             b'\xf0\x9f\x98 <script>alert(0)</script>',
                   checks=(40, 150))


WORDS = ('file open save close new edit view help settings contact contacts name address phone '
         'email number delete remove add import export print preview search find replace undo '
         'redo copy paste cut select all none cancel ok apply yes no back next finish account '
         'password user login logout sync calendar event date time today tomorrow week month '
         'year reminder alarm message send receive inbox draft folder archive trash empty '
         'restore download upload share link picture photo video music play pause stop volume '
         'mute network wireless bluetooth battery power screen brightness language keyboard '
         'mouse display sound notification privacy security update version about license '
         'error warning could not be saved loaded found is are was the a of to in for on with '
         'your this that new recent favourite group member invite accept decline status online '
         'offline busy away profile picture change choose default custom advanced general '
         'storage memory free used total available install uninstall application details').split()

# Thirty languages; the pseudo-translations use each one's script, so that their sizes and
# directions are those of real ones.
LANGUAGES = ['ar', 'bg', 'ca', 'cs', 'da', 'de', 'el', 'es', 'et', 'fi', 'fr', 'he', 'hu', 'it',
             'ja', 'ko', 'lt', 'nb', 'nl', 'pl', 'pt', 'pt_BR', 'ro', 'ru', 'sk', 'sv', 'tr',
             'uk', 'zh_CN', 'zh_TW']
ALPHABETS = {
    'ar': 'ابتثجحخدذرزسشصضطظعغفقكلمنهوي', 'he': 'אבגדהוזחטיכלמנסעפצקרשת',
    'bg': 'абвгдежзийклмнопрстуфхцчшщъюя', 'ru': 'абвгдежзийклмнопрстуфхцчшщыэюя',
    'uk': 'абвгґдеєжзиіїйклмнопрстуфхцчшщьюя', 'el': 'αβγδεζηθικλμνξοπρστυφχψω',
    'ja': 'あいうえおかきくけこさしすせそたちつてとなにぬねの日本語設定保存', 'ko': '가나다라마바사아자차카타파하',
    'zh_CN': '文件打开保存关闭新建编辑视图帮助设置联系人名称地址电话', 'zh_TW': '檔案開啟儲存關閉新增編輯檢視說明設定聯絡人',
}
LATIN = 'abcdefghijklmnoprstuvyzáéíóúäöüåøæçñšž'


def big_set(lines, languages=30, seed=1, checks=(40, 150)):
    """A realistic run: UI texts of a few words (one in a hundred some 600 characters long, one
    in ten with characters beyond ASCII), each language translating a share of them, from
    none to all, with a translation vocabulary of its own; one cell in a hundred a conflict;
    one untranslated cell in thirty kept the same; and with checks (None for a run without),
    one translation in twenty-five with problems, now and then two kinds."""
    names = LANGUAGES[:languages] if languages <= len(LANGUAGES) else \
        ['l%02d' % j for j in range(languages)]
    dictionaries = []
    for j, name in enumerate(names):
        chooser = random.Random(seed * 7919 + j)
        alphabet = ALPHABETS.get(name, LATIN)
        dictionaries.append({word: ''.join(chooser.choice(alphabet)
                                           for _ in range(max(2, len(word) + chooser.randint(-1, 3))))
                             for word in WORDS})
    # Coverage from none (a language without catalogs) to complete.
    coverage = [0.0 if j == len(names) - 1 and j else
                1.0 if j == 1 else 0.35 + 0.6 * ((j * 37) % len(names)) / len(names)
                for j in range(len(names))]

    def line(i):
        chooser = random.Random(seed * 1000003 + i)
        length = chooser.randint(60, 90) if chooser.random() < 0.01 else chooser.randint(1, 6)
        words = [chooser.choice(WORDS) for _ in range(length)]
        text = ' '.join(words).capitalize()
        if chooser.random() < 0.1:
            text += ' ' + chooser.choice(['é', 'ü', 'ß', '→', '日本', 'Ж', '😀', '…'])
        states, answers, problems = '', [], []
        for j in range(len(names)):
            translated = chooser.random() < coverage[j]
            conflict = chooser.random() < 0.01
            state = 'y' if translated else 's' if coverage[j] and chooser.random() < 0.033 \
                else 'n'
            states += state.upper() if conflict else state
            answers.append(' '.join(dictionaries[j][w] for w in words).capitalize()
                           if translated else None)
            bits = 0
            if translated and made and chooser.random() < 0.04:
                bits = made[chooser.randrange(len(made))]
                if chooser.random() < 0.2:
                    bits |= made[chooser.randrange(len(made))]
            problems.append(bits)
        return i + 1, text, states, answers, problems

    dataset = DataSet(names, lines, line, checks=checks)
    made = [1 << PROBLEMS.index(name) for name in dataset.checks_made()]
    return dataset


# ----- The browser

class Browser:
    """Headless Chromium with a fresh profile, driven by Selenium through Debian's chromedriver;
    it keeps the console log for the caller."""

    def __init__(self, width=1280, height=900):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        self.profile = tempfile.mkdtemp(prefix='trcoverage-chromium-')
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in CHROMIUM_FLAGS + ['--user-data-dir=' + self.profile,
                                      '--window-size=%d,%d' % (width, height)]:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        # A dialog stays open, so that the test sees it rather than have it dismissed.
        options.set_capability('unhandledPromptBehavior', 'ignore')
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_page_load_timeout(120)
        self.driver.set_script_timeout(120)

    def open(self, path, timeout=60):
        """Loads a page from disk and waits until its script says it is ready (or failed)."""
        from selenium.webdriver.support.ui import WebDriverWait
        self.driver.get('file://' + os.path.abspath(path))
        WebDriverWait(self.driver, timeout, poll_frequency=0.05).until(
            lambda d: d.execute_script('return document.documentElement.dataset.state'))
        return self.state()

    def state(self):
        return self.driver.execute_script('return document.documentElement.dataset.state || ""')

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def console(self):
        """The console messages since the last call."""
        return self.driver.get_log('browser')

    def dialog(self):
        """The text of an open dialog, or None."""
        from selenium.common.exceptions import NoAlertPresentException
        try:
            return self.driver.switch_to.alert.text
        except NoAlertPresentException:
            return None

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)
