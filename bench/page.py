"""Prints what the coverage page costs: its size, the time and peak memory to write it, and in
headless Chromium the first paint, a filter and a scroll for 10,000 lines in 30 languages, and
the opening of 100,000 lines. The data sets are the browser tests' realistic ones.

Run by bench/run.sh with Debian's python3; usage: page.py PAGE_FEED DATA_DIR [LINES...]
(default 10000 100000)."""

import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests'))
import pagetools  # noqa: E402

REPEATS = 5


def write_page(feeder, data_dir, lines, languages=30):
    """The page for a data set, made once and kept: (page, seconds, peak KB)."""
    data = os.path.join(data_dir, 'page-%d-%d.data' % (lines, languages))
    if not os.path.exists(data):
        pagetools.big_set(lines, languages).write(data + '.new')
        os.rename(data + '.new', data)
    page = os.path.join(data_dir, 'page-%d-%d.html' % (lines, languages))
    with tempfile.NamedTemporaryFile('r') as stats:
        subprocess.run(['/usr/bin/time', '-f', '%e %M', '-o', stats.name, feeder, data, page],
                       check=True)
        seconds, peak = stats.read().split()[-2:]
    return page, float(seconds), int(peak)


def first_paint(browser, page):
    """Milliseconds from navigation to the first contentful paint and to the matrix shown."""
    browser.open(page, timeout=300)
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
    print('%-8s %8s %8s %8s %7s %9s %8s %9s %10s %9s' % (
        'lines', 'page MB', 'write s', 'peak KB', 'FCP ms', 'shown ms', 'text ms',
        'untr. ms', 'jump ms', 'step ms'))
    for lines in sizes:
        page, seconds, peak = write_page(feeder, data_dir, lines)
        paints, texts, untranslated, scrolls, steps = [], [], [], [], []
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
                scrolls.extend(scroll_times(browser))
                steps.extend(scroll_times(browser, step=120))
            finally:
                browser.close()
        print('%-8d %8.2f %8.2f %8d %7.0f %9.0f %8.0f %9.0f %6.0f/%3.0f %5.0f/%3.0f' % (
            lines, os.path.getsize(page) / 1e6, seconds, peak,
            statistics.median(p[0] for p in paints), statistics.median(p[1] for p in paints),
            statistics.median(texts), statistics.median(untranslated),
            statistics.median(scrolls), max(scrolls), statistics.median(steps), max(steps)))
    print('writer peak for 10 lines: %d KB; text: "save" over lines and translations; '
          'untr.: only untranslated; jump, step: median/max of %d jumps across the matrix and '
          'of %d steps of 120 pixels' % (small_peak, 20 * REPEATS, 20 * REPEATS))


if __name__ == '__main__':
    main()
