"""Prints what the coverage page costs: its size, the time and peak memory to write it, and in
headless Chromium the first paint, a filter and a scroll for 10,000 lines in 30 languages, and
the opening of 100,000 lines. The data sets are the browser tests' realistic ones, of a run
that checks translations, and the first size also of one that does not. Then
trcoverage's peak memory with and without the page on a line of 100 MB, and the opening of
pages of such a line and of 100,000 lines as long as the page shows whole: trcoverage and the
bundled catalogs are taken from the build directory PAGE_FEED lies in.

Run by bench/run.sh with Debian's python3; usage: page.py PAGE_FEED DATA_DIR [LINES...]
(default 10000 100000)."""

import os
import random
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests'))
import pagetools  # noqa: E402

REPEATS = 5


def write_page(feeder, data_dir, lines, languages=30, checked=True):
    """The page for a data set, made once and kept: (page, seconds, peak KB)."""
    name = 'page-%d-%d%s' % (lines, languages, '' if checked else '-unchecked')
    data = os.path.join(data_dir, name + '.data')
    if not os.path.exists(data):
        pagetools.big_set(lines, languages,
                          checks=(40, 150) if checked else None).write(data + '.new')
        os.rename(data + '.new', data)
    page = os.path.join(data_dir, name + '.html')
    with tempfile.NamedTemporaryFile('r') as stats:
        subprocess.run(['/usr/bin/time', '-f', '%e %M', '-o', stats.name, feeder, data, page],
                       check=True)
        seconds, peak = stats.read().split()[-2:]
    return page, float(seconds), int(peak)


def first_paint(browser, page):
    """Milliseconds from navigation to the first contentful paint and to the matrix shown."""
    browser.open(page, timeout=300)
    # The paint's entry is reported after the frame: on a small page, after the page's mark.
    browser.run('''return new Promise((done) => { const wait = () =>
        performance.getEntriesByName('first-contentful-paint').length ? done()
                                                                      : setTimeout(wait, 5);
        wait(); })''')
    return browser.run('''return [
        performance.getEntriesByName('first-contentful-paint')[0].startTime,
        performance.getEntriesByName('trcoverage:ready')[0].startTime]''')


def filter_time(browser, script):
    """Milliseconds from a filter's start to the frame after its rows are built (the text field
    waits for a pause in typing before it filters; that pause is not counted)."""
    browser.run('performance.clearMarks("trcoverage:filtering");'
                'performance.clearMarks("trcoverage:filtered")')
    browser.run(script)
    browser.run('''return new Promise((done) => { const wait = () =>
        performance.getEntriesByName('trcoverage:filtered').length ? done() : setTimeout(wait, 5);
        wait(); })''')
    return browser.run('''return performance.getEntriesByName('trcoverage:filtered')[0].startTime
        - performance.getEntriesByName('trcoverage:filtering')[0].startTime''')


def scroll_times(browser, jumps=20, step=0):
    """Milliseconds from setting the scroll position to the second frame after, by which the
    rows for it are built and painted: for jumps across the whole matrix, or steps of that many
    pixels down (a mouse wheel's)."""
    return browser.run('''const scroller = document.getElementById('scroller');
        const frame = () => new Promise((done) => requestAnimationFrame(done));
        return (async () => {
          const times = [];
          for (let k = 0; k < arguments[0]; k++) {
            await frame();
            const start = performance.now();
            scroller.scrollTop = arguments[1] ? scroller.scrollTop + arguments[1]
                : (k * 7919 % 10007) / 10007 * scroller.scrollHeight;
            await frame();
            await frame();
            times.push(performance.now() - start);
          }
          return times;
        })()''', jumps, step)


def timed_run(command):
    """Runs a command, its output discarded: (seconds, peak KB)."""
    with tempfile.NamedTemporaryFile('r') as stats:
        subprocess.run(['/usr/bin/time', '-f', '%e %M', '-o', stats.name] + command, check=True,
                       stdout=subprocess.DEVNULL)
        seconds, peak = stats.read().split()[-2:]
    return float(seconds), int(peak)


def long_lines(trcoverage, catalogs, data_dir):
    """trcoverage's peak with and without -html on one line of 100 MB, and the page opened;
    then 100,000 lines each as long as the page shows whole, in the browser."""
    print('long lines (trcoverage -lang de, the bundled catalogs; the page cuts a text after '
          '%s characters)' % '{:,}'.format(pagetools.SHOWN))
    print('%-34s %9s %9s %9s %9s %10s %9s' % ('input', 'peak KB', '-html KB', 'write s',
                                              'page MB', 'ready ms', 'heap MB'))
    one = os.path.join(data_dir, 'long-line.txt')
    if not os.path.exists(one):
        with open(one + '.new', 'wb') as f:
            # Markup, which the page escapes sixfold, and letters of one and two bytes.
            f.write(b'Hello\n' + b'<a\xc3\xa9' * 25000000 + b'\nZoo\n')
        os.rename(one + '.new', one)
    many = os.path.join(data_dir, 'long-lines.txt')
    if not os.path.exists(many):
        chooser = random.Random(4)
        with open(many + '.new', 'w', encoding='utf-8') as f:
            for _ in range(100000):
                words = []
                while sum(len(w) + 1 for w in words) <= pagetools.SHOWN:
                    words.append(chooser.choice(pagetools.WORDS))
                f.write(' '.join(words)[:pagetools.SHOWN] + '\n')
        os.rename(many + '.new', many)
    for label, strings in (('1 line of 100 MB (75M characters)', one),
                           ('100,000 lines of 2,000 characters', many)):
        command = [trcoverage, '-translations', catalogs, '-lang', 'de']
        _, peak = timed_run(command + [strings])
        page = os.path.join(data_dir, os.path.basename(strings) + '.html')
        seconds, html_peak = timed_run(command + ['-html', page, strings])
        ready, heap = [], []
        for _ in range(REPEATS):
            browser = pagetools.Browser()
            try:
                browser.open(page, timeout=300)
                ready.append(browser.run(
                    'return performance.getEntriesByName("trcoverage:ready")[0].startTime'))
                heap.append(browser.run('return performance.memory.usedJSHeapSize') / 1e6)
            finally:
                browser.close()
        print('%-34s %9d %9d %9.2f %9.2f %10.0f %9.0f' % (
            label, peak, html_peak, seconds, os.path.getsize(page) / 1e6,
            statistics.median(ready), statistics.median(heap)))
    print('peak KB: trcoverage without -html, and with it; ready: from navigation to the matrix '
          'shown; heap: the page\'s JavaScript heap once shown')


def main():
    feeder, data_dir = sys.argv[1:3]
    sizes = [int(n) for n in sys.argv[3:]] or [10000, 100000]
    os.makedirs(data_dir, exist_ok=True)
    missing = pagetools.missing_browser()
    if missing:
        print('coverage page: skipped, no browser (%s)' % missing)
        return

    _, _, small_peak = write_page(feeder, data_dir, 10)
    print('coverage page, %d languages (headless Chromium, median of %d runs)' % (30, REPEATS))
    print('%-16s %8s %8s %8s %7s %9s %8s %9s %9s %10s %9s' % (
        'lines', 'page MB', 'write s', 'peak KB', 'FCP ms', 'shown ms', 'text ms',
        'untr. ms', 'prob. ms', 'jump ms', 'step ms'))
    for lines, checked in [(sizes[0], False)] + [(lines, True) for lines in sizes]:
        page, seconds, peak = write_page(feeder, data_dir, lines, checked=checked)
        paints, texts, untranslated, problems, scrolls, steps = [], [], [], [], [], []
        for _ in range(REPEATS):
            browser = pagetools.Browser()
            try:
                paints.append(first_paint(browser, page))
                texts.append(filter_time(browser, '''const f = document.getElementById(
                    'filter-text'); f.value = 'save';
                    f.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter'}))'''))
                filter_time(browser, '''const f = document.getElementById('filter-text');
                    f.value = ''; f.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter'}))''')
                untranslated.append(filter_time(browser, '''const u = document.getElementById(
                    'filter-untranslated'); u.checked = true;
                    u.dispatchEvent(new Event('change'))'''))
                if checked:
                    problems.append(filter_time(browser, '''const u = document.getElementById(
                        'filter-untranslated'); u.checked = false;
                        const p = document.getElementById('filter-problem'); p.selectedIndex = 1;
                        p.dispatchEvent(new Event('change'))'''))
                scrolls.extend(scroll_times(browser))
                steps.extend(scroll_times(browser, step=120))
            finally:
                browser.close()
        print('%-16s %8.2f %8.2f %8d %7.0f %9.0f %8.0f %9.0f %9s %6.0f/%3.0f %5.0f/%3.0f' % (
            '%d%s' % (lines, '' if checked else ' unchecked'), os.path.getsize(page) / 1e6,
            seconds, peak,
            statistics.median(p[0] for p in paints), statistics.median(p[1] for p in paints),
            statistics.median(texts), statistics.median(untranslated),
            '%.0f' % statistics.median(problems) if problems else '-',
            statistics.median(scrolls), max(scrolls), statistics.median(steps), max(steps)))
    print('writer peak for 10 lines: %d KB; text: "save" over lines and translations; '
          'untr.: only untranslated; prob.: only problems; jump, step: median/max of %d jumps '
          'across the matrix and of %d steps of 120 pixels; unchecked: a run without checks' %
          (small_peak, 20 * REPEATS, 20 * REPEATS))

    build = os.path.dirname(os.path.dirname(os.path.abspath(feeder)))
    trcoverage = os.path.join(build, 'trcoverage')
    catalogs = os.path.join(build, 'examples', 'translations')
    print()
    if os.access(trcoverage, os.X_OK) and os.path.isdir(catalogs):
        long_lines(trcoverage, catalogs, data_dir)
    else:
        print('long lines: skipped, no %s or %s' % (trcoverage, catalogs))


if __name__ == '__main__':
    main()
