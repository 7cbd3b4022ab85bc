"""Loads coverage pages in headless Chromium and checks what the browser shows against the data
the page was written from: the numbers, every mark and text, the filter, the sorting, the
keyboard, hostile texts that must stay text, and pages that were not written whole.

usage: page_test.py GROUP FEEDER SCREENSHOTS [EMULATOR...]
FEEDER is page_feed; SCREENSHOTS the folder the screenshots go to. Exit status 77 (skipped)
when there is no browser."""

import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagetools  # noqa: E402
from pagetools import problem_names, shown, visible, whole  # noqa: E402

failures = 0


def fail(message):
    global failures
    failures += 1
    print('FAIL [%s] %s' % (group, message))


def check(condition, message):
    if not condition:
        fail(message)
    return condition


def feed(dataset, name):
    """Writes the page for a data set; returns its path."""
    data = os.path.join(work, name + '.data')
    page = os.path.join(work, name + '.html')
    dataset.write(data)
    result = subprocess.run(emulator + [feeder, data, page], capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit('page_feed failed (%d): %s' % (result.returncode, result.stderr))
    return page


# Texts come back from the browser with backslashes and surrogates as \XXXX, since the driver
# cannot carry a lone surrogate.
WIRE = r'''const wire = (s) => s.replace(/[\\\ud800-\udfff]/g,
    (c) => '\\' + c.charCodeAt(0).toString(16).padStart(4, '0'));'''


def unwire(text):
    return whole(re.sub(r'\\([0-9a-f]{4})', lambda m: chr(int(m.group(1), 16)), text))


def one_line(text):
    """A line as the matrix shows it: on one line, a line feed as its picture; what the page
    holds of it, said first when that is not all."""
    text, length = shown(text)
    return ('cut ({:,} characters) '.format(length) if length else '') + \
        whole(visible(text).replace('\n', '\u240a'))


def tip_text(what, text):
    """A text as the tooltip shows it: whether the page holds all of it, then what it holds."""
    text, length = shown(text)
    return ('Cut: the %s has {:,} characters; the page shows its first {:,}.'
            .format(length, pagetools.SHOWN) % what if length else '') + visible(text)


def share(translated, untranslated):
    total = translated + untranslated
    return '%.1f%%' % (translated * 1000 // total / 10) if total else '100.0%'


def shown_rows(browser):
    """The matrix rows the browser has built: position, number, text, and per cell its mark,
    class and label; and the row's height."""
    rows = browser.run(WIRE + r'''
        return Array.from(document.querySelectorAll('#matrix-body tr[data-position]'), (tr) => [
          Number(tr.dataset.position), tr.cells[0].textContent, wire(tr.cells[1].textContent),
          Array.from(tr.cells).slice(2).map((td) => [td.textContent, td.className,
                                                     td.getAttribute('aria-label')]),
          tr.getBoundingClientRect().height]);''')
    return [(p, n, unwire(t), cells, h) for p, n, t, cells, h in rows]


def state_name(state):
    return 'translated' if state in 'yY' else 'kept the same' if state in 'sS' else 'untranslated'


def expected_cell(name, state, problems=()):
    """A cell's mark, class and label: its state letter (y, n, s; capital: differing) and the
    names of its translation's problems."""
    translated, same, conflict = state in 'yY', state in 'sS', state.isupper()
    return [('✓' if translated else '=' if same else '✗') + ('⚠' if problems else '') +
            ('!' if conflict else ''),
            'c ' + ('y' if translated else 's' if same else 'n') + (' p' if problems else '') +
            (' x' if conflict else ''),
            visible(name) + ': ' + state_name(state) +
            (', problems: ' + ', '.join(problems) if problems else '') +
            (', differing' if conflict else '')]


def cell_problems(dataset, states, problems, j):
    """The names of the problems a cell of the data set shows."""
    return problem_names(dataset.shown_problems(problems, j) if states[j] in 'yY' else 0)


FRAME = 'return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))'


def scroll_matrix(browser, top):
    """Scrolls the matrix and waits until the page has built the rows for it."""
    browser.run('document.getElementById("scroller").scrollTop = arguments[0];' + FRAME, top)


def all_rows(browser):
    """Every row the filter lets through, scrolling the matrix from top to bottom."""
    rows = {}
    top = 0
    while True:
        scroll_matrix(browser, top)
        for row in shown_rows(browser):
            rows[row[0]] = row
        step, at, end = browser.run('''const s = document.getElementById('scroller');
            return [s.clientHeight - 60, s.scrollTop, s.scrollHeight - s.clientHeight]''')
        if at >= end:
            break
        top = at + step
    scroll_matrix(browser, 0)
    return [rows[p] for p in sorted(rows)]


def check_rows(browser, dataset, lines, columns, label, every=False):
    """The built rows (all of them when every) show exactly these lines (position -> data
    line index) in these language columns."""
    check_covered(browser, label)
    rows = all_rows(browser) if every else shown_rows(browser)
    if every:
        check([r[0] for r in rows] == list(range(len(lines))),
              '%s: rows %d to %d built of %d' % (label, rows[0][0], rows[-1][0], len(lines))
              if rows else label + ': no row built')
    check(rows, label + ': no row is built')
    heights = {h for *_, h in rows}
    check(len(heights) == 1, label + ': rows of different heights %s' % sorted(heights))
    for position, number, text, cells, _ in rows:
        n, source, states, _, problems = dataset.line(lines[position])
        check(number == str(n), '%s: row %d shows number %s, not %d' %
              (label, position, number, n))
        check(text == one_line(source), '%s: line %d shows %r, not %r' %
              (label, n, text[:200], one_line(source)[:200]))
        want = [expected_cell(dataset.languages[j], states[j],
                              cell_problems(dataset, states, problems, j)) for j in columns]
        check(cells == want, '%s: line %d marks %s, not %s' % (label, n, cells, want))
    return rows


def check_covered(browser, label):
    """The rows built reach from the head of the matrix to the bottom of what it shows."""
    browser.run(FRAME)
    seen = browser.run('''const view = document.getElementById('scroller').getBoundingClientRect();
        const head = document.querySelector('#matrix-head th').getBoundingClientRect().bottom;
        const rows = Array.from(document.querySelectorAll('#matrix-body tr[data-position]'));
        if (!rows.length) return [true, true];
        const first = rows[0].getBoundingClientRect(), last = rows[rows.length - 1];
        const count = Number(document.getElementById('matrix').getAttribute('aria-rowcount')) - 1;
        return [first.top <= head + 1,
                last.getBoundingClientRect().bottom >= view.bottom - 1 ||
                Number(last.dataset.position) === count - 1]''')
    check(seen == [True, True], '%s: the rows built do not cover the view %s' % (label, seen))


def check_clean(browser, label):
    """Nothing ran, asked or loaded: no dialog, no console message, no request."""
    dialog = browser.dialog()
    check(dialog is None, '%s: a dialog opened: %r' % (label, dialog))
    messages = browser.console()
    check(not messages, '%s: console messages: %s' % (label, messages))
    requests = browser.run('''return performance.getEntriesByType('resource')
        .map((e) => e.name).concat(performance.getEntriesByType('navigation').length === 1
                                   ? [] : ['navigations: ' + performance.getEntriesByType(
                                           'navigation').length])''')
    check(not requests, '%s: requests: %s' % (label, requests))


def bars(browser):
    return browser.run('''return Array.from(document.querySelectorAll('#bars-body tr'),
        (tr) => Array.from(tr.cells, (c) => c.textContent))''')


def expected_bars(dataset, order):
    """Per language: its name, translated, untranslated, kept the same, with checks those with
    problems, differing, and the share."""
    checked = dataset.checks is not None
    return [[visible(dataset.languages[j])] +
            ['{:,}'.format(n) for n in dataset.totals[j][:3 + checked]] +
            ['{:,}'.format(conflicts(dataset, j)), share(*dataset.totals[j][:2])] for j in order]


def conflicts(dataset, j):
    if not hasattr(dataset, 'conflict_counts'):
        counts = [0] * len(dataset.languages)
        for _, _, states, _, _ in dataset.lines():
            for k, state in enumerate(states):
                counts[k] += state.isupper()
        dataset.conflict_counts = counts
    return dataset.conflict_counts[j]


def screenshot(browser, name, scroll_to=None):
    os.makedirs(screenshots, exist_ok=True)
    if scroll_to:
        browser.run('document.querySelector(arguments[0]).scrollIntoView()', scroll_to)
    path = os.path.join(screenshots, name)
    browser.driver.save_screenshot(path)
    print('screenshot: ' + path)


def filtered(browser, action):
    """Runs action (which changes the filter) and waits until the page has shown the result."""
    from selenium.webdriver.support.ui import WebDriverWait
    before = browser.run('return document.documentElement.dataset.filtered || "0"')
    action()
    WebDriverWait(browser.driver, 30, poll_frequency=0.02).until(
        lambda d: d.execute_script('return document.documentElement.dataset.filtered || "0"')
        != before)


def shown_count(browser):
    return browser.run('return document.getElementById("shown-count").textContent')


# ----- Groups

def group_hostile(browser):
    """Hostile texts in every place a text goes: they show as text, exactly, and do nothing."""
    dataset = pagetools.hostile_set()
    page = feed(dataset, 'hostile')
    check(browser.open(page) == 'ready', 'the page is not ready: ' + browser.state())
    check_clean(browser, 'loaded')

    facts = browser.run(WIRE + '''return ['strings', 'directory', 'lines', 'languages', 'made']
        .map((id) => wire(document.getElementById('fact-' + id).textContent))''')
    want = [visible(dataset.strings.decode('utf-8', 'backslashreplace')),
            visible(dataset.directory.decode('utf-8', 'backslashreplace')),
            str(dataset.count), str(len(dataset.languages)), dataset.made]
    check([unwire(f) for f in facts] == want, 'header %s, not %s' % (facts, want))
    check(bars(browser) == expected_bars(dataset, range(len(dataset.languages))),
          'bars %s' % bars(browser))

    # Nothing of the texts became an element, an attribute that runs, or a script.
    extra = browser.run('''
        const blocks = document.querySelectorAll('script.page-lines').length;
        const kinds = 'img,svg,iframe,object,embed,a,link,base,form,textarea,audio,video,math';
        const handlers = Array.from(document.querySelectorAll('*')).flatMap((e) =>
            Array.from(e.attributes).filter((a) => /^on/i.test(a.name)).map((a) => a.name));
        return [document.querySelectorAll(kinds).length, handlers,
                document.scripts.length - blocks, document.styleSheets.length,
                document.querySelectorAll('meta').length, document.title.length > 0]''')
    check(extra == [0, [], 3, 1, 5, True], 'elements the texts made: %s' % extra)
    policy = browser.run('''return document.querySelector(
        'meta[http-equiv="Content-Security-Policy"]').content''')
    check("default-src 'none'" in policy and 'unsafe' not in policy and
          "require-trusted-types-for 'script'" in policy, 'policy: ' + policy)

    check_rows(browser, dataset, list(range(dataset.count)), range(len(dataset.languages)),
               'all rows', every=True)
    # Markup and script among the translations with problems, whose tooltips name them.
    check(any(answers[j] and '<script>' in answers[j] and
              cell_problems(dataset, states, problems, j)
              for _, _, states, answers, problems in dataset.lines()
              for j in range(len(states))), 'no translation with problems is a script')

    # Every cell by keyboard: the tooltip shows the whole line, or the cell's translation. The
    # keys go as one sequence; the page's tooltip is noted wherever the focus lands.
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    browser.run(WIRE + '''window.tips = [];
        document.addEventListener('focusin', (event) => {
          const cell = event.target.closest && event.target.closest('td[data-column]');
          const tip = document.getElementById('tip');
          if (cell) tips.push([tip.hidden, wire(tip.textContent), cell.parentElement.dataset.position,
                               cell.dataset.column]);
        });
        document.querySelector('#matrix-body tr[data-position="0"] td').focus()''')
    languages = len(dataset.languages)
    keys = ActionChains(browser.driver)
    for i in range(dataset.count):
        keys.send_keys(*([Keys.ARROW_RIGHT] * languages + [Keys.HOME, Keys.ARROW_DOWN]))
    keys.perform()
    tips = browser.run('return tips')
    # Each row from its text to its last language, then Home to its text again.
    landed = [(i, column) for i in range(dataset.count)
              for column in list(range(languages + 1)) + [0]]
    check([(int(p), int(c)) for _, _, p, c in tips] == landed,
          'the focus landed at %s' % [(p, c) for _, _, p, c in tips][:40])
    for (i, column), (hidden, tip, _, _) in zip(landed, tips):
        number, text, states, answers, problems = dataset.line(i)
        tip = unwire(tip)
        if column == 0:
            want = 'Line %d%s' % (number, tip_text('line', text))
        else:
            state = states[column - 1]
            name = dataset.languages[column - 1]
            flagged = cell_problems(dataset, states, problems, column - 1)
            want = '%s: line %d, %s%s%s%s' % (
                visible(name), number, state_name(state),
                '⚠ Problems: ' + ', '.join(flagged) if flagged else '',
                tip_text('translation', answers[column - 1]) if state in 'yY' else '',
                '! Another component translates this line differently.'
                if state.isupper() else '')
        check(not hidden and tip == whole(want), 'tooltip of line %d column %d: %r, not %r'
              % (number, column, tip[:200], want[:200]))

    # The mouse: hovering shows the same.
    for i, column in ((0, 1), (33, 2), (41, 0)):
        scroll_matrix(browser, i * 28)
        browser.run('document.getElementById("lines-title").scrollIntoView()')
        cell = browser.driver.find_element(
            'css selector', '#matrix-body tr[data-position="%d"] td[data-column="%d"]'
            % (i, column))
        ActionChains(browser.driver).move_to_element(cell).perform()
        hidden, tip = browser.run(WIRE + 'return [document.getElementById("tip").hidden, '
                                         'wire(document.getElementById("tip").textContent)]')
        number, text, states, answers, _ = dataset.line(i)
        shows = tip_text('line' if column == 0 else 'translation',
                         text if column == 0 else answers[column - 1] or '')
        check(not hidden and shows in unwire(tip), 'hovered line %d column %d: %r' %
              (number, column, tip))

    # Filtering by the hostile texts finds them, and still runs nothing. It goes by the text,
    # not by the marks that show what would show as nothing.
    for query in ('<script>', '"><img', '</textarea>', 'שמור', '📁', '\ufeffbom', 'u+feff'):
        filtered(browser, lambda: browser.run(
            'const f = document.getElementById("filter-text"); f.value = arguments[0];'
            'f.dispatchEvent(new Event("input"))', query))
        want = [i for i in range(dataset.count)
                if query in shown(dataset.line(i)[1])[0].lower()
                or any(a and query in shown(a)[0].lower() for a in dataset.line(i)[3])]
        if want:
            check_rows(browser, dataset, want, range(languages), 'filter ' + query, every=True)
        check(shown_count(browser) == 'Showing %d of %d lines' % (len(want), dataset.count),
              'filter %r: %s' % (query, shown_count(browser)))
    # Only untranslated takes in the lines kept the same, also where no cell is otherwise
    # untranslated; only kept the same, those alone.
    filtered(browser, lambda: browser.run(
        'const f = document.getElementById("filter-text"); f.value = "";'
        'f.dispatchEvent(new Event("input"))'))
    for box, letters in (('filter-untranslated', 'nNsS'), ('filter-same', 'sS')):
        filtered(browser, lambda: browser.driver.find_element('id', box).click())
        want = [i for i in range(dataset.count) if any(s in letters for s in dataset.line(i)[2])]
        check_rows(browser, dataset, want, range(languages), box, every=True)
        filtered(browser, lambda: browser.driver.find_element('id', box).click())
    check_clean(browser, 'after use')
    group_empty(browser)
    check_comment_names(browser)
    browser.open(page)
    filtered(browser, lambda: browser.run(
        'const f = document.getElementById("filter-text"); f.value = "";'
        'f.dispatchEvent(new Event("input"))'))
    # With the tooltip of a right-to-left translation.
    browser.run('document.getElementById("lines-title").scrollIntoView()')
    browser.run('document.querySelector(\'#matrix-body tr[data-position="2"] '
                'td[data-column="1"]\').focus()')
    screenshot(browser, 'small.png')


def group_empty(browser):
    """An empty strings file: no line, every language whole."""
    dataset = pagetools.DataSet(['de', 'fr'], 0, None)
    page = feed(dataset, 'empty')
    check(browser.open(page) == 'ready', 'the empty page is not ready: ' + browser.state())
    check(bars(browser) == expected_bars(dataset, range(2)), 'bars %s' % bars(browser))
    check(shown_count(browser) == 'Showing 0 of 0 lines', shown_count(browser))
    # Nothing was filtered out: there is nothing to show.
    check(browser.run('return document.querySelector("#matrix-body td.none").textContent')
          == 'The strings file has no lines.', 'no "no lines" row')
    check_clean(browser, 'empty')


def check_comment_names(browser):
    """A name that opens a comment and then a script: inside a script element that makes the
    element's own end no end, and the rest of the page would be script."""
    name = '<!--<script x'
    for place in ('strings file', 'directory', 'language'):
        language = name if place == 'language' else 'de'
        dataset = pagetools.DataSet(
            [language], 1, lambda i: (1, name, 'y', [name], None),
            strings=name.encode() if place == 'strings file' else b'Strings.txt',
            directory=name.encode() if place == 'directory' else b'/catalogs')
        page = feed(dataset, 'comment')
        from selenium.common.exceptions import TimeoutException
        try:
            state = browser.open(page, timeout=10)
        except TimeoutException:
            state = 'never ready'
        if not check(state == 'ready', '%s %r: the page is %s' % (place, name, state)):
            continue
        facts = browser.run('''return ['strings', 'directory'].map((id) =>
            document.getElementById('fact-' + id).textContent)''')
        want = [dataset.strings.decode(), dataset.directory.decode()]
        check(facts == want, '%s %r: header %s, not %s' % (place, name, facts, want))
        check(bars(browser) == expected_bars(dataset, [0]), '%s %r: bars %s' %
              (place, name, bars(browser)))
        check_clean(browser, place + ' ' + name)


def group_filter(browser):
    """The filter, the sorting and the grid, by keyboard and by mouse."""
    from selenium.webdriver.common.keys import Keys
    dataset = pagetools.big_set(600, languages=6, seed=3)
    page = feed(dataset, 'filter')
    check(browser.open(page) == 'ready', 'the page is not ready: ' + browser.state())
    check_checks_shown(browser, True, 'filter')
    languages = len(dataset.languages)
    lines = [dataset.line(i) for i in range(dataset.count)]
    element = lambda id: browser.driver.find_element('id', id)

    def expect(query, only, language, label, same=False, problem=None):
        """problem: a check's name, 'any', or None for any line."""
        want = []
        for i, (_, text, states, answers, problems) in enumerate(lines):
            shown = range(languages) if language is None else [language]
            if only and all(states[j] in 'yY' for j in shown):
                continue
            if same and not any(states[j] in 'sS' for j in shown):
                continue
            if problem and not any(problem in cell_problems(dataset, states, problems, j) or
                                   problem == 'any' and cell_problems(dataset, states, problems, j)
                                   for j in shown):
                continue
            if query and query.lower() not in text.lower() and not any(
                    answers[j] and query.lower() in answers[j].lower() for j in shown):
                continue
            want.append(i)
        check(shown_count(browser) == 'Showing %s of 600 lines' % '{:,}'.format(len(want)),
              '%s: %s, expected %d lines' % (label, shown_count(browser), len(want)))
        if want:
            check_rows(browser, dataset, want, list(shown), label, every=True)
        else:
            check(browser.run('return document.querySelector("#matrix-body td.none").textContent')
                  == 'No line matches the filter.', label + ': no "no line matches" row')
        return want

    # Typed, as a user does: Tab from the share button to the text field.
    focus = lambda id: browser.run('document.getElementById(arguments[0]).focus()', id)
    focus('sort-share')
    browser.driver.switch_to.active_element.send_keys(Keys.TAB)
    check(browser.run('return document.activeElement.id') == 'filter-text',
          'Tab from the sort buttons reaches ' + browser.run('return document.activeElement.id'))
    def retype(text):
        field = element('filter-text')
        field.send_keys(Keys.CONTROL + 'a')
        field.send_keys(Keys.BACKSPACE + text + Keys.ENTER)

    # Typing filters once the typing pauses.
    from selenium.webdriver.support.ui import WebDriverWait
    word = lines[5][1].split()[0].upper()
    matching = sum(word.lower() in text.lower() or any(a and word.lower() in a.lower()
                                                      for a in answers)
                   for _, text, _, answers, _ in lines)
    browser.driver.switch_to.active_element.send_keys(word)
    WebDriverWait(browser.driver, 10, poll_frequency=0.02).until(
        lambda d: shown_count(browser) == 'Showing %d of 600 lines' % matching)
    expect(word, False, None, 'text %r' % word)
    # A word of one translation only (the last language's first translated line).
    translation = next(a[4] for _, _, s, a, _ in lines if s[4] in 'yY').split()[-1]
    filtered(browser, lambda: retype(translation))
    expect(translation, False, None, 'translation %r' % translation)
    filtered(browser, lambda: retype('qqqzzz'))
    expect('qqqzzz', False, None, 'nothing')
    filtered(browser, lambda: retype(''))
    expect('', False, None, 'cleared')

    # Only untranslated, by Space on the checkbox; then each language from the list by keys.
    browser.driver.switch_to.active_element.send_keys(Keys.TAB)
    filtered(browser, lambda: browser.driver.switch_to.active_element.send_keys(Keys.SPACE))
    expect('', True, None, 'only untranslated')
    browser.driver.switch_to.active_element.send_keys(Keys.TAB, Keys.TAB, Keys.TAB)
    check(browser.run('return document.activeElement.id') == 'filter-language',
          'Tab reaches ' + browser.run('return document.activeElement.id'))
    for j in range(languages):
        filtered(browser, lambda: browser.driver.switch_to.active_element.send_keys(
            Keys.ARROW_DOWN))
        expect('', True, j, 'only untranslated in ' + dataset.languages[j])
        built = shown_rows(browser)
        check(all(len(row[3]) == 1 for row in built), 'one language, one column')
    filtered(browser, lambda: element('filter-text').send_keys(translation, Keys.ENTER))
    expect(translation, True, languages - 1, 'text, untranslated, language')
    filtered(browser, lambda: element('filter-untranslated').click())
    expect(translation, False, languages - 1, 'text and language')
    filtered(browser, lambda: browser.run(
        'const s = document.getElementById("filter-language"); s.value = "";'
        's.dispatchEvent(new Event("change"))'))
    filtered(browser, lambda: retype(''))
    expect('', False, None, 'all again')

    # Only kept the same, by mouse; each problem from its list by keys, in every language and
    # in one; each with the other filters.
    filtered(browser, lambda: element('filter-same').click())
    expect('', False, None, 'only kept the same', same=True)
    filtered(browser, lambda: element('filter-untranslated').click())
    expect('', True, None, 'untranslated and kept the same', same=True)
    filtered(browser, lambda: element('filter-untranslated').click())
    filtered(browser, lambda: element('filter-same').click())
    browser.driver.switch_to.active_element.send_keys(Keys.TAB)
    check(browser.run('return document.activeElement.id') == 'filter-problem',
          'Tab from "only kept the same" reaches ' +
          browser.run('return document.activeElement.id'))
    options = browser.run('return Array.from(document.getElementById("filter-problem").options,'
                          ' (o) => o.textContent)')
    check(options == ['All lines', 'Only problems'] + dataset.checks_made(),
          'problem filters: %s' % options)
    for problem in ['any'] + dataset.checks_made():
        filtered(browser, lambda: browser.driver.switch_to.active_element.send_keys(
            Keys.ARROW_DOWN))
        expect('', False, None, 'problem ' + problem, problem=problem)
    choose = 'const s = document.getElementById("filter-language"); s.value = arguments[0];' \
             's.dispatchEvent(new Event("change"))'
    filtered(browser, lambda: browser.run(choose, '2'))
    expect('', False, 2, 'growth in one language', problem='growth')
    filtered(browser, lambda: browser.run(
        'const s = document.getElementById("filter-problem"); s.selectedIndex = 1;'
        's.dispatchEvent(new Event("change"))'))
    expect('', False, 2, 'problems in one language', problem='any')
    filtered(browser, lambda: element('filter-text').send_keys(translation, Keys.ENTER))
    expect(translation, False, 2, 'text and problems in one language', problem='any')
    filtered(browser, lambda: retype(''))
    filtered(browser, lambda: element('filter-same').click())
    expect('', False, 2, 'kept the same and problems in one language', same=True,
           problem='any')
    filtered(browser, lambda: browser.run(
        'const s = document.getElementById("filter-problem"); s.selectedIndex = 0;'
        's.dispatchEvent(new Event("change"))'))
    expect('', False, 2, 'kept the same in one language', same=True)
    filtered(browser, lambda: element('filter-same').click())
    filtered(browser, lambda: browser.run(choose, ''))
    expect('', False, None, 'all once more')

    # Sorting: by name and by share, each both ways; the matrix's columns follow the bars.
    def check_order(label, key, reverse):
        # Equal shares go by name, ascending, either way.
        from fractions import Fraction
        if key == 'name':
            order = sorted(range(languages), key=lambda j: dataset.languages[j], reverse=reverse)
        else:
            sign = -1 if reverse else 1
            order = sorted(range(languages), key=lambda j: (
                sign * Fraction(dataset.totals[j][0], dataset.count), dataset.languages[j]))
        check(bars(browser) == expected_bars(dataset, order), '%s: bars %s' %
              (label, [b[0] for b in bars(browser)]))
        heads = browser.run('return Array.from(document.querySelectorAll("#matrix-head th"),'
                            ' (th) => th.textContent).slice(2)')
        check(heads == [dataset.languages[j] for j in order], '%s: columns %s' % (label, heads))
        check_rows(browser, dataset, list(range(dataset.count)), order, label, every=True)
        sort = browser.run('return [document.getElementById("sort-name-cell").ariaSort,'
                           ' document.getElementById("sort-share-cell").ariaSort]')
        want = 'descending' if reverse else 'ascending'
        check(sort == ([want, 'none'] if key == 'name' else ['none', want]),
              '%s: aria-sort %s' % (label, sort))

    element('sort-share').send_keys(Keys.ENTER)
    check_order('share, Enter', 'share', False)
    element('sort-share').send_keys(Keys.SPACE)
    check_order('share, Space again', 'share', True)
    element('sort-name').click()
    check_order('name, clicked', 'name', False)
    element('sort-name').send_keys(Keys.ENTER)
    check_order('name again', 'name', True)
    element('sort-name').send_keys(Keys.ENTER)
    order = sorted(range(languages), key=lambda j: dataset.languages[j])

    # The grid is one tab stop; the keys move through it and keep the focus on screen.
    focus('filter-language')
    browser.driver.switch_to.active_element.send_keys(Keys.TAB)
    where = 'return [document.activeElement.parentElement.dataset.position,' \
            ' document.activeElement.dataset.column,' \
            ' (() => { const r = document.activeElement.getBoundingClientRect(),' \
            ' s = document.getElementById("scroller").getBoundingClientRect(),' \
            ' h = document.querySelector("#matrix-head th").getBoundingClientRect();' \
            ' return r.top >= h.bottom - 1 && r.bottom <= s.bottom + 1 })()]'
    check(browser.run(where) == ['0', '0', True], 'Tab into the grid: %s' % browser.run(where))
    moves = [(Keys.ARROW_RIGHT, ['0', '1']), (Keys.ARROW_DOWN, ['1', '1']),
             (Keys.END, ['1', str(languages)]), (Keys.HOME, ['1', '0']),
             (Keys.PAGE_DOWN, None), (Keys.CONTROL + Keys.END, ['599', str(languages)]),
             (Keys.ARROW_DOWN, ['599', str(languages)]), (Keys.PAGE_UP, None),
             (Keys.CONTROL + Keys.HOME, ['0', '0']), (Keys.ARROW_UP, ['0', '0'])]
    for key, want in moves:
        browser.driver.switch_to.active_element.send_keys(key)
        position, column, on_screen = browser.run(where)
        check(on_screen, 'after %r the focused cell is off screen' % key)
        if want:
            check([position, column] == want, 'after %r focus at %s, not %s' %
                  (repr(key), [position, column], want))
    browser.driver.switch_to.active_element.send_keys(Keys.CONTROL + Keys.END)
    rows = shown_rows(browser)
    check(rows[-1][1] == str(dataset.count), 'the last row built is line %s' % rows[-1][1])
    check_rows(browser, dataset, list(range(dataset.count)), order, 'at the end')
    check_clean(browser, 'after use')
    check_unchecked(browser)


CHECKS_SHOWN = r'''
    const words = /flagged|problem|checks|\u26a0/i;
    const found = [];
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    while (walker.nextNode()) {
      const node = walker.currentNode;
      if (words.test(node.data) && node.parentElement.checkVisibility()) {
        found.push(node.data.trim());
      }
    }
    if (document.getElementById('filter-problem').checkVisibility()) found.push('#filter-problem');
    return found'''


def checks_shown(browser):
    """What the page shows of checks: every visible text that speaks of them, and the problem
    filter if it is visible."""
    return browser.run(CHECKS_SHOWN)


def check_checks_shown(browser, checked, label):
    """A page of a run that checks shows its checks: the list of them, the Flagged column, the
    problem filter, the mark in the legend. A page of one that does not, nothing of them."""
    shown = checks_shown(browser)
    if checked:
        check(all(any(want in text for text in shown)
                  for want in ('Checks', 'Flagged', 'Problems', '#filter-problem', '\u26a0')),
              '%s: the checks are not all shown: %s' % (label, shown))
    else:
        check(not shown, '%s: a run without checks shows %s' % (label, shown))


def check_unchecked(browser):
    """Data with problems from a run that did not check: the page shows nothing of checks."""
    dataset = pagetools.big_set(600, languages=6, seed=3)
    dataset.checks = None
    page = feed(dataset, 'unchecked')
    check(browser.open(page) == 'ready', 'unchecked: the page is not ready: ' + browser.state())
    check_checks_shown(browser, False, 'unchecked')
    check(bars(browser) == expected_bars(dataset, range(6)), 'unchecked: bars %s' % bars(browser))
    check_rows(browser, dataset, list(range(dataset.count)), range(6), 'unchecked', every=True)
    check_clean(browser, 'unchecked')


def group_big(browser):
    """10,000 lines in 30 languages: every number, and each language's untranslated lines
    through the filter; rows where the scroll puts them. 100,000 lines still open."""
    dataset = pagetools.big_set(10000)
    page = feed(dataset, 'big')
    check(browser.open(page) == 'ready', 'the page is not ready: ' + browser.state())
    languages = range(len(dataset.languages))
    check(bars(browser) == expected_bars(dataset, languages), 'bars differ')
    check(shown_count(browser) == 'Showing 10,000 of 10,000 lines', shown_count(browser))
    built = len(shown_rows(browser))
    check(built < 100, '%d rows built for one screen' % built)
    for j in languages:
        filtered(browser, lambda: browser.run(
            'const s = document.getElementById("filter-language"); s.value = arguments[0];'
            'const u = document.getElementById("filter-untranslated"); u.checked = true;'
            's.dispatchEvent(new Event("change"))', str(j)))
        want = '{:,}'.format(dataset.totals[j][1])
        check(shown_count(browser) == 'Showing %s of 10,000 lines' % want,
              '%s: %s, expected %s untranslated' % (dataset.languages[j],
                                                     shown_count(browser), want))
    filtered(browser, lambda: browser.run(
        'const s = document.getElementById("filter-language"); s.value = "";'
        'document.getElementById("filter-untranslated").checked = false;'
        's.dispatchEvent(new Event("change"))'))
    for top in (0, 123457, 5000 * 28 + 3, 10 ** 9):
        browser.run('const s = document.getElementById("scroller"); s.scrollTop = arguments[0];'
                    'return new Promise((done) => requestAnimationFrame(() =>'
                    ' requestAnimationFrame(done)))', top)
        rows = check_rows(browser, dataset, list(range(dataset.count)), languages,
                          'scrolled to %d' % top)
    browser.run('document.getElementById("scroller").scrollTop = 0')
    check_clean(browser, 'big')
    screenshot(browser, 'big.png', '#lines-title')

    huge = pagetools.big_set(100000, languages=5, seed=2)
    page = feed(huge, 'huge')
    check(browser.open(page, timeout=120) == 'ready', 'the huge page is not ready')
    check(shown_count(browser) == 'Showing 100,000 of 100,000 lines', shown_count(browser))
    check(bars(browser) == expected_bars(huge, range(5)), 'huge: bars differ')
    browser.run('document.querySelector("#matrix-body td[tabindex=\'0\']").focus()')
    from selenium.webdriver.common.keys import Keys
    browser.driver.switch_to.active_element.send_keys(Keys.CONTROL + Keys.END)
    rows = check_rows(browser, huge, list(range(huge.count)), range(5), 'huge, at the end')
    check(rows[-1][1] == '100000', 'huge: the last row is line %s' % rows[-1][1])
    check(len(rows) < 100, 'huge: %d rows built' % len(rows))
    check_clean(browser, 'huge')


def group_broken(browser):
    """A page not written whole says so, rather than show part of its data as all of it."""
    dataset = pagetools.big_set(3000, languages=4, seed=5)
    page = feed(dataset, 'whole')
    with open(page, 'rb') as f:
        content = f.read()
    # The notice comes before whatever a cut could break: the style, the data, the script. Only
    # the head's policy and the like stand before it, which a cut page cannot show anyway.
    notice = content.index(b'<p id="status"')
    text_start = content.index(b'>', notice) + 1
    text_end = content.index(b'</p>', notice)
    said = content.index(b'incomplete', text_start) + len(b'incomplete')
    style, style_end = content.index(b'<style>'), content.index(b'</style>')
    whole_notice = re.sub(r'\s+', ' ', content[text_start:text_end].decode())
    check(notice < 1024 and text_end < style and 'incomplete' in whole_notice,
          'the notice at bytes %d to %d, the style at %d: %r' % (notice, text_end, style,
                                                               whole_notice))
    ends = sorted(set(
        list(range(text_start + 1, said + 16, 4)) +  # the notice, as it comes
        list(range(said, 8192, 307)) +  # the first 8 KB, the style among them
        [style + 1, (style + style_end) // 2, style_end + 3,
         content.index(b'id="page-head"') + 40,  # inside the header's data
         content.index(b'class="page-lines">') + 1000,  # inside the lines
         content.index(b'id="page-end"'),  # all lines, no totals
         content.rindex(b'<script>') + 100]))  # inside the script
    cut = os.path.join(work, 'cut.html')
    for end in ends:
        with open(cut, 'wb') as f:
            f.write(content[:end])
        browser.driver.get('file://' + cut)
        shown = browser.run('''const status = document.getElementById('status');
            const main = document.getElementById('main');
            return [status !== null && status.checkVisibility(), status && status.textContent,
                    main !== null && main.checkVisibility(),
                    document.documentElement.dataset.state || '']''')
        text = re.sub(r'\s+', ' ', shown[1] or '')
        if end < said:
            # Cut inside the notice: as much of it as there is, nothing else.
            ok = shown[0] and text and whole_notice.startswith(text.rstrip())
        else:
            ok = shown[0] and 'incomplete' in text
        check(ok and not shown[2] and shown[3] == '', 'page cut at byte %d: %s' % (end, shown))
        browser.console()

    # Totals that the lines do not add up to.
    data = os.path.join(work, 'whole.data')
    with open(data) as f:
        records = f.read().splitlines()
    finish = records[-1].split()
    t, u, same, flagged = map(int, finish[1].split('/'))
    finish[1] = '%d/%d/%d/%d' % (t - 1, u + 1, same, flagged)
    with open(data, 'w') as f:
        f.write('\n'.join(records[:-1] + [' '.join(finish)]) + '\n')
    wrong = os.path.join(work, 'wrong.html')
    subprocess.run(emulator + [feeder, data, wrong], check=True)
    check(browser.open(wrong) == 'error', 'totals off by one: state ' + browser.state())
    status = browser.run('return document.getElementById("status").textContent')
    check('do not add up' in status, 'totals off by one: ' + status)

    # A page that cannot be written is a failure, not a page.
    result = subprocess.run(emulator + [feeder, data, '/dev/full'], capture_output=True)
    check(result.returncode == 4, 'page on a full disk: status %d' % result.returncode)


def group_layout(browser):
    """A narrow window and print."""
    dataset = pagetools.big_set(2500, languages=12, seed=7)
    page = feed(dataset, 'layout')
    browser.driver.set_window_size(360, 780)
    check(browser.open(page) == 'ready', 'the page is not ready')
    widths = browser.run('''const s = document.getElementById('scroller');
        return [document.documentElement.scrollWidth, innerWidth,
                s.getBoundingClientRect().right, s.scrollWidth > s.clientWidth]''')
    check(widths[0] <= widths[1] and widths[2] <= widths[1] and widths[3],
          'narrow: the page is %dpx wide in %dpx, the matrix ends at %d, scrolls: %s' %
          tuple(widths))
    screenshot(browser, 'narrow.png', '#lines-title')
    browser.driver.set_window_size(1280, 900)

    browser.driver.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': 'print'})
    browser.run('dispatchEvent(new Event("beforeprint"))')
    printed = browser.run('''const visible = (id) => document.getElementById(id).checkVisibility();
        return [document.querySelectorAll('#matrix-body tr[data-position]').length,
                visible('filter'), visible('print-note'),
                document.getElementById('print-note').textContent,
                getComputedStyle(document.getElementById('scroller')).overflow]''')
    check(printed[:3] == [2000, False, True] and '2,000 of 2,500' in printed[3] and
          printed[4] == 'visible', 'print: %s' % printed)
    pdf = browser.driver.execute_cdp_cmd('Page.printToPDF', {})['data']
    import base64
    os.makedirs(screenshots, exist_ok=True)
    with open(os.path.join(screenshots, 'print.pdf'), 'wb') as f:
        f.write(base64.b64decode(pdf))
    print('print: ' + os.path.join(screenshots, 'print.pdf'))
    browser.driver.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': ''})
    browser.run('dispatchEvent(new Event("afterprint"));' + FRAME)
    built = browser.run('return document.querySelectorAll("#matrix-body tr[data-position]").length')
    check(built < 100, 'after print: %d rows built' % built)
    check_clean(browser, 'layout')


def group_run(browser):
    """trcoverage's own page: every number and mark equals its -format json of the same run."""
    import json
    import xml.etree.ElementTree as ElementTree
    import shutil
    program, built, sources = (os.environ['PAGE_TRCOVERAGE'], os.environ['PAGE_CATALOGS'],
                               os.environ['PAGE_CATALOG_SOURCES'])
    # The test catalogs, and two more components that give the same texts as two of them: a
    # line several components translate alike is no differing line.
    catalogs = os.path.join(work, 'catalogs')
    shutil.copytree(built, catalogs)
    shutil.copy(os.path.join(catalogs, 'my_tools_de.qm'), os.path.join(catalogs, 'tools_de.qm'))
    shutil.copy(os.path.join(catalogs, 'zoo_de.qm'), os.path.join(catalogs, 'zoo2_de.qm'))
    # Every catalog text, hostile lines, and lines no catalog holds.
    texts = []
    for name in sorted(os.listdir(sources)):
        if name.endswith('.ts'):
            for source in ElementTree.parse(os.path.join(sources, name)).iter('source'):
                text = source.text or ''
                if '\n' not in text and '\r' not in text and text not in texts:
                    texts.append(text)
    texts += [t for t in pagetools.HOSTILE[:30] if '\n' not in t and '\r' not in t]
    texts += ['Not in any catalog', 'Save as…', '']
    strings = os.path.join(work, 'Strings.txt')
    with open(strings, 'wb') as f:
        f.write('\n'.join(texts).encode('utf-8', 'surrogatepass'))

    # Checked with a width and no growth, and with a growth and no width.
    for languages, limits in (([], ['-max-width', '12']),
                              (['de', 'xx', 'pt_BR', 'de_DE'], ['-max-growth', '150'])):
        label = ' '.join(languages) or 'every language'
        page = os.path.join(work, 'run.html')
        options = [o for name in languages for o in ('-lang', name)]
        result = subprocess.run(emulator + [program, '-translations', catalogs] + options +
                                ['-checks'] + limits +
                                ['-missing', '-conflicts', '-format', 'json', '-html', page,
                                 strings], capture_output=True)
        if not check(result.returncode == 0, '%s: status %d, %s' % (label, result.returncode,
                                                                  result.stderr)):
            continue
        data = json.loads(result.stdout)
        check(browser.open(page) == 'ready', label + ': the page is not ready')
        check_clean(browser, label)
        names = [language['language'] for language in data['languages']]
        facts = browser.run('''return ['directory', 'lines', 'languages', 'checks']
            .map((id) => document.getElementById('fact-' + id).textContent)''')
        made = pagetools.PROBLEMS[:5] + (
            ['width (wider than 12 columns)'] if '-max-width' in limits else
            ['growth (wider than 150% of the line)'])
        check(facts == [data['catalogs'], '{:,}'.format(data['lines']), str(len(names)),
                        ', '.join(made)], '%s: header %s' % (label, facts))
        differing = [{c['line'] for c in language['conflicts']
                      if any(a['role'] == 'differs' for a in c['answers'])}
                     for language in data['languages']]
        check(all(len(lines) == language['differing']
                  for lines, language in zip(differing, data['languages'])),
              '%s: JSON "differing" %s against the conflicts\' roles' %
              (label, [language['differing'] for language in data['languages']]))
        alike = [len(language['conflicts']) - len(lines)
                 for lines, language in zip(differing, data['languages'])]
        check(any(alike), '%s: no line that components translate alike' % label)
        missing = [{m['line'] for m in language['missing']} for language in data['languages']]
        same = [{m['line'] for m in language['missing'] if m['same']}
                for language in data['languages']]
        problems = [{p['line']: p for p in language['problems']} for language in data['languages']]
        kinds = {check for language in problems for p in language.values() for check in p['checks']}
        check(any(same) and len(kinds) >= 5, '%s: kept the same %s, problems %s' %
              (label, same, kinds))
        want = [[language['language']] +
                ['{:,}'.format(language[key])
                 for key in ('translated', 'untranslated', 'same', 'flagged', 'differing')] +
                ['%.1f%%' % language['share']] for language in data['languages']]
        check(bars(browser) == want, '%s: bars %s, not %s' % (label, bars(browser), want))

        # Every cell: untranslated exactly where -missing lists the line, kept the same where it
        # says so, a conflict exactly where another component answers otherwise, problems as
        # -checks lists them.
        rows = all_rows(browser)
        check(len(rows) == data['lines'], '%s: %d rows' % (label, len(rows)))
        texts_by_line = {}
        for language in data['languages']:
            for entry in language['missing'] + language['conflicts']:
                texts_by_line[entry['line']] = entry['text']
        for _, number, text, cells, _ in rows:
            n = int(number)
            if n in texts_by_line:
                check(text == one_line(texts_by_line[n]), '%s: line %d shows %r' % (label, n, text))
            states = ['s' if n in same[j] else 'n' if n in missing[j] else 'y'
                      for j in range(len(names))]
            marks = [expected_cell(names[j], states[j].upper() if n in differing[j] else states[j],
                                   problems[j][n]['checks'] if n in problems[j] else [])
                     for j in range(len(names))]
            check(cells == marks, '%s: line %d marks %s, not %s' % (label, n, cells, marks))

        # A conflict's tooltip shows the answer of the component that answers.
        for j, language in enumerate(data['languages']):
            for conflict in language['conflicts']:
                if conflict['line'] in missing[j]:
                    continue
                answer = next(a['translation'] for a in conflict['answers']
                              if a['role'] == 'answers')
                position = conflict['line'] - 1
                scroll_matrix(browser, position * 28)
                browser.run('document.querySelector(\'#matrix-body tr[data-position="%d"] '
                            'td[data-column="%d"]\').focus()' % (position, j + 1))
                tip = unwire(browser.run(WIRE + 'return wire(document.getElementById("tip")'
                                                '.textContent)'))
                check(tip_text('translation', answer) in tip, '%s: %s line %d tooltip %r, not %r' %
                      (label, names[j], conflict['line'], tip, answer))

        # A translation with problems: its tooltip names them, and shows the translation.
        for j, language in enumerate(problems):
            for n, flagged in language.items():
                scroll_matrix(browser, (n - 1) * 28)
                browser.run('document.querySelector(\'#matrix-body tr[data-position="%d"] '
                            'td[data-column="%d"]\').focus()' % (n - 1, j + 1))
                tip = unwire(browser.run(WIRE + 'return wire(document.getElementById("tip")'
                                                '.textContent)'))
                want = '%s: line %d, translated\u26a0 Problems: %s%s%s' % (
                    names[j], n, ', '.join(flagged['checks']),
                    tip_text('translation', flagged['translation']),
                    '! Another component translates this line differently.'
                    if n in differing[j] else '')
                check(tip == want, '%s: %s line %d tooltip %r, not %r' % (label, names[j], n, tip,
                                                                         want))

        # The filters against the lists: only problems, each check, only kept the same.
        def filter_lines(script, *args):
            filtered(browser, lambda: browser.run(script, *args))
            return [int(row[1]) for row in all_rows(browser)]

        choose = 'const s = document.getElementById("filter-problem");' \
                 's.selectedIndex = arguments[0]; s.dispatchEvent(new Event("change"))'
        for index, name in enumerate(['any'] + pagetools.PROBLEMS[:5] + made[5:]):
            name = name.split()[0]
            want = sorted({n for language in problems for n, p in language.items()
                           if name == 'any' or name in p['checks']})
            shown_lines = filter_lines(choose, index + 1)
            check(shown_lines == want, '%s: problem filter %s shows %s, not %s' %
                  (label, name, shown_lines, want))
        filter_lines(choose, 0)
        want = sorted(set().union(*same))
        shown_lines = filter_lines('const s = document.getElementById("filter-same");'
                                   's.checked = true; s.dispatchEvent(new Event("change"))')
        check(shown_lines == want, '%s: only kept the same shows %s, not %s' %
              (label, shown_lines, want))

    # A line of 100 MB, markup and letters of one and two bytes: the page opens whole, holds
    # the line's first characters, and says at the text that it was cut and from how many.
    # (Under the sanitizers a smaller one: there every reallocation of the growing line copies
    # it, and 100 MB take many minutes to read.)
    repeats = int(os.environ.get('PAGE_LONG_LINE_BYTES', '100000000')) // 4
    strings = os.path.join(work, 'Long.txt')
    with open(strings, 'wb') as f:
        f.write(b'Hello\n' + b'<a\xc3\xa9' * repeats + b'\nZoo\n')
    page = os.path.join(work, 'long.html')
    result = subprocess.run(emulator + [program, '-translations', catalogs, '-lang', 'de',
                                        '-html', page, strings], capture_output=True)
    os.remove(strings)
    if not check(result.returncode == 0, 'a line of 100 MB: status %d, %s' %
                 (result.returncode, result.stderr)):
        return
    check(browser.open(page) == 'ready', 'a line of 100 MB: the page is ' + browser.state())
    check_clean(browser, 'a line of 100 MB')
    check_checks_shown(browser, False, 'a line of 100 MB')
    held = ('<aé' * 667)[:pagetools.SHOWN]
    rows = shown_rows(browser)
    want = [('1', 'Hello'), ('2', 'cut ({:,} characters) '.format(3 * repeats) + held),
            ('3', 'Zoo')]
    check([(n, t) for _, n, t, _, _ in rows] == want,
          'a line of 100 MB: rows %s' % [(n, t[:80], len(t)) for _, n, t, _, _ in rows])
    browser.run('document.querySelector(\'#matrix-body tr[data-position="1"] '
                'td[data-column="0"]\').focus()')
    tip = browser.run('return document.getElementById("tip").textContent')
    want = 'Line 2Cut: the line has {:,} characters; the page shows its first 2,000.'.format(
        3 * repeats) + held
    check(tip == want, 'a line of 100 MB: tooltip %r…%r' % (tip[:40], tip[-100:]))


if __name__ == '__main__':
    group, feeder, screenshots = sys.argv[1:4]
    emulator = sys.argv[4:]
    missing = pagetools.missing_browser()
    if missing:
        print('SKIP [%s] no browser: %s' % (group, missing))
        sys.exit(77)
    with tempfile.TemporaryDirectory(prefix='trcoverage-page-') as work:
        browser = pagetools.Browser()
        try:
            globals()['group_' + group](browser)
        finally:
            browser.close()
    sys.exit(1 if failures else 0)
