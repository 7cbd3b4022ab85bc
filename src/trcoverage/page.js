'use strict';
// Shows the coverage data that trcoverage wrote into this page's data blocks. Every text from
// the strings file and the catalogs reaches the page through textContent or an attribute,
// never as markup; the page's policy would refuse markup from a string anyway.
(() => {
  const OVERSCAN = 12; // rows built beyond the visible ones, either side
  const PRINT_LIMIT = 2000; // rows printed at most
  const FILTER_DELAY = 150; // ms of typing pause before the text filter runs

  const root = document.documentElement;
  const byId = (id) => document.getElementById(id);
  const make = (tag, className, text) => {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  };
  const count = (n) => n.toLocaleString('en-US');

  const status = byId('status');
  const fail = (message) => {
    status.textContent = message;
    status.hidden = false;
    root.dataset.state = 'error';
  };

  // Control characters other than tab and line feed are shown as their pictures (NUL as U+2400
  // and so on): seen, and never taken for layout.
  const controls = /[\u0000-\u0008\u000b-\u001f\u007f]/g;
  const visible = (text) =>
    text.replace(controls, (c) =>
      String.fromCharCode(c === '\u007f' ? 0x2421 : 0x2400 + c.charCodeAt(0)));

  // In the matrix a row is one line high: a line feed shows as its picture there too.
  const oneLine = (text) => visible(text).replace(/\n/g, '\u240a');

  // Characters that show as nothing (the C1 controls, the format characters, among them U+FEFF
  // and the bidi controls, and the line and paragraph separators) are shown as their code
  // points in a mark, ⟨U+FEFF⟩: seen, read out, and never reordering the text around them. A
  // joiner inside an emoji sequence and the tags of a flag make the emoji, and stay.
  const invisible = new RegExp(
    '(\\p{Extended_Pictographic}[\\uFE0F\\u{1F3FB}-\\u{1F3FF}]?' +
    '(?:\\u200D\\p{Extended_Pictographic}[\\uFE0F\\u{1F3FB}-\\u{1F3FF}]?)+' +
    '|\\u{1F3F4}[\\u{E0020}-\\u{E007E}]+\\u{E007F})' +
    '|[\\u0080-\\u009F\\p{Cf}\\u2028\\u2029]', 'gu');
  const markOf = (c) =>
    '\u27e8U+' + c.codePointAt(0).toString(16).toUpperCase().padStart(4, '0') + '\u27e9';
  // Where a text is only text (an option, the title, a label): marks as their text.
  const plain = (text) => visible(text).replace(invisible, (c, kept) => kept || markOf(c));
  // Appends the text to node, each mark an element of its own.
  const appendShown = (node, text) => {
    if (text.search(invisible) < 0) {
      node.append(text);
      return;
    }
    let from = 0;
    for (const found of text.matchAll(invisible)) {
      if (found[1]) continue;
      if (found.index > from) node.append(text.slice(from, found.index));
      // Its own direction: left out of the guess of the text's, and moving nothing around it.
      const mark = make('span', 'char', markOf(found[0]));
      mark.dir = 'ltr';
      node.append(mark);
      from = found.index + found[0].length;
    }
    if (from < text.length) node.append(text.slice(from));
  };
  const shownNode = (tag, className, text) => {
    const node = make(tag, className);
    appendShown(node, text);
    return node;
  };

  const readJson = (id) => {
    const node = byId(id);
    return node ? JSON.parse(node.textContent) : null;
  };

  // State letters: y translated, p translated with problems, s kept the same (untranslated: a
  // catalog answers with the line itself), n untranslated otherwise; capitals when another
  // component translates the line differently (a conflict).
  const Y = 121, YC = 89, P = 112, PC = 80, S = 115, SC = 83;
  const isTranslated = (code) => code === Y || code === YC || code === P || code === PC;
  const isFlagged = (code) => code === P || code === PC;
  const isSame = (code) => code === S || code === SC;
  const isConflict = (code) => code < 97;
  const stateLetters = /^[ypsnYPSN]*$/;
  const untranslatedLetter = /[snSN]/;
  const sameLetter = /[sS]/;
  // Which of the line's translations is the language's, -1 for none.
  const answerIndex = (line, language) => {
    const states = line[2];
    if (!isTranslated(states.charCodeAt(language))) return -1;
    let index = 0;
    for (let j = 0; j < language; j++) if (isTranslated(states.charCodeAt(j))) index++;
    return index;
  };
  const answerOf = (line, language) => {
    const index = answerIndex(line, language);
    return index < 0 ? null : line[3][index];
  };
  // The problems of the language's translation, as bits in the order of the run's checks.
  const problemsOf = (line, language) => {
    if (!line[5] || !isFlagged(line[2].charCodeAt(language))) return 0;
    return line[5][answerIndex(line, language)] || 0;
  };

  // A text too long to show whole comes as [its first characters, its length in characters].
  const malformed = () => new Error('a block of lines is malformed');
  const lengthOf = (value) => {
    if (!Array.isArray(value) || value.length !== 2 || typeof value[0] !== 'string' ||
        !Number.isSafeInteger(value[1])) throw malformed();
    return value[1];
  };

  // A block of lines: base64 of a zlib stream of the JSON
  // [[number...], [text...], "states", [problems...], [translation...] per language], where the
  // states hold a letter per line and language, the problems those of each cell whose letter
  // says it has some, in the order of the letters, and each language's translations are those
  // of its translated cells. Made into lines: [number, text, states, [translation of each
  // translated cell]]; for a line with a text cut short a fifth element, {text: its length,
  // answers: [the length of each translation cut short, by its place among the line's]}, else
  // null when a sixth follows; and for a line with problems a sixth, [the problems of each
  // translation, by its place among the line's]. Counts each language's cells as it goes, for
  // the comparison with the totals.
  const decodeBlock = async (block, languages, checkCount) => {
    const languageCount = languages.length;
    const binary = atob(block.textContent);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
    // Through a buffer: Response.text() inflates at a third of the speed.
    const json = new TextDecoder().decode(await new Response(stream).arrayBuffer());
    const [numbers, texts, states, flags, ...columns] = JSON.parse(json);
    if (texts.length !== numbers.length || states.length !== numbers.length * languageCount ||
        !stateLetters.test(states) || !Array.isArray(flags) ||
        columns.length !== languageCount) throw malformed();
    const taken = new Array(languageCount).fill(0);
    const allChecks = 2 ** checkCount;
    let flagsTaken = 0;
    const lines = new Array(numbers.length);
    for (let i = 0; i < numbers.length; i++) {
      const own = states.substr(i * languageCount, languageCount);
      let text = texts[i], cut = null;
      if (typeof text !== 'string') {
        cut = { text: lengthOf(text), answers: [] };
        text = text[0];
      }
      const answers = [];
      let problems = null;
      for (let j = 0; j < languageCount; j++) {
        const code = own.charCodeAt(j);
        const language = languages[j];
        if (isConflict(code)) language.conflicts++;
        if (isSame(code)) language.sameCounted++;
        if (!isTranslated(code)) continue;
        language.counted++;
        if (isFlagged(code)) {
          language.flaggedCounted++;
          const bits = flags[flagsTaken++];
          if (!Number.isInteger(bits) || bits < 1 || bits >= allChecks) throw malformed();
          if (!problems) problems = [];
          problems[answers.length] = bits;
        }
        let answer = columns[j][taken[j]++];
        if (typeof answer !== 'string') {
          if (!cut) cut = { text: 0, answers: [] };
          cut.answers[answers.length] = lengthOf(answer);
          answer = answer[0];
        }
        answers.push(answer);
      }
      lines[i] = problems ? [numbers[i], text, own, answers, cut, problems]
               : cut ? [numbers[i], text, own, answers, cut] : [numbers[i], text, own, answers];
    }
    if (taken.some((n, j) => n !== columns[j].length) || flagsTaken !== flags.length) {
      throw malformed();
    }
    return lines;
  };

  const afterPaint = (then) => requestAnimationFrame(() => setTimeout(then, 0));

  async function main() {
    const head = readJson('page-head');
    const end = readJson('page-end');
    if (!head || !end) return; // the status paragraph says the page is incomplete
    if (typeof DecompressionStream !== 'function') {
      fail('This browser cannot unpack the page\'s data (it has no DecompressionStream): ' +
           'open the page in a current browser.');
      return;
    }
    const names = head.languages;
    // The checks the run made, by name, in the order of the problems' bits; none for a run
    // that did not check.
    const checks = Array.isArray(head.checks) ? head.checks : null;
    // What the lines say must add up to the totals the run wrote.
    let wellFormed = end.totals.length === names.length &&
                     end.totals.every((numbers) => numbers.length === 4);
    const languages = names.map((name, index) => {
      const [translated, untranslated, same, flagged] = end.totals[index] || [];
      return { index, name, translated, untranslated, same, flagged,
               conflicts: 0, counted: 0, sameCounted: 0, flaggedCounted: 0 };
    });
    const blocks = await Promise.all(
      Array.from(document.querySelectorAll('script.page-lines'),
                 (block) => decodeBlock(block, languages, checks ? checks.length : 0)));
    const lines = [];
    for (const block of blocks) for (const line of block) lines.push(line);
    for (const language of languages) {
      if (language.counted !== language.translated ||
          language.translated + language.untranslated !== lines.length ||
          language.sameCounted !== language.same || language.flaggedCounted !== language.flagged) {
        wellFormed = false;
      }
    }

    document.title = 'Translation coverage: ' + plain(head.strings);
    appendShown(byId('fact-strings'), visible(head.strings));
    appendShown(byId('fact-directory'), visible(head.directory));
    byId('fact-lines').textContent = count(lines.length);
    byId('fact-languages').textContent = count(names.length);
    byId('fact-made').textContent = head.made;
    if (checks) {
      const number = (value) => BigInt(value).toLocaleString('en-US');
      byId('fact-checks').textContent = checks.map((name) =>
        name === 'width' ? 'width (wider than ' + number(head.maxWidth) + ' columns)'
          : name === 'growth' ? 'growth (wider than ' + number(head.maxGrowth) + '% of the line)'
            : name).join(', ');
      byId('fact-checks-row').hidden = false;
    }
    status.hidden = true;
    if (!wellFormed) {
      fail('The page\'s lines do not add up to its totals: it was not written whole. ' +
           'The lines and totals below are as written.');
    }
    byId('main').hidden = false;
    show(lines, languages, checks);
  }

  function show(lines, languages, checks) {
    const barsBody = byId('bars-body');
    const matrix = byId('matrix');
    const matrixHead = byId('matrix-head');
    const body = byId('matrix-body');
    const scroller = byId('scroller');
    const tip = byId('tip');
    const filterText = byId('filter-text');
    const filterUntranslated = byId('filter-untranslated');
    const filterSame = byId('filter-same');
    const filterProblem = byId('filter-problem');
    const filterLanguage = byId('filter-language');
    const shownCount = byId('shown-count');
    const printNote = byId('print-note');
    const rowHeight = parseFloat(getComputedStyle(root).getPropertyValue('--row')) || 28;

    // Languages in the order of the bars; the matrix's columns follow it.
    let order = languages.slice();
    let sortKey = null, sortDirection = 1;
    let columns = order; // the languages the matrix shows
    let rows = lines.map((_, i) => i); // the lines the filter lets through
    let headHeight = 0;
    let first = 0, last = 0; // the rows built, [first, last)
    let view = [0, 0, 0, 0]; // what wanted() gave when they were built
    let tabStop = null;
    let built = new Map(); // row position -> its tr
    let topSpacer = null, bottomSpacer = null;
    let active = { row: 0, column: 0 }; // the grid's tab stop: column 0 is the text
    let printing = false;
    let filterRuns = 0;

    // Only a run that checked translations has the page show anything of checks: their list,
    // the counts, the marks and the filters. A cell's problems are bits in the order of the
    // checks.
    const problemNames = (bits) => checks.filter((_, k) => bits & (1 << k)).join(', ');
    if (checks) {
      for (const node of document.querySelectorAll('.checks')) node.hidden = false;
      // An option's value is the mask of its problems.
      const any = make('option', '', 'Only problems');
      any.value = String(2 ** checks.length - 1);
      filterProblem.append(any);
      checks.forEach((name, k) => {
        const option = make('option', '', name);
        option.value = String(1 << k);
        filterProblem.append(option);
      });
    }

    // ----- The bars
    // The share translated, cut (not rounded) to tenths of a percent, as trcoverage shows it:
    // 100.0 only when every line is translated, and for an input without lines.
    const share = (language) => {
      const all = language.translated + language.untranslated;
      return all ? Math.floor(language.translated * 1000 / all) / 10 : 100;
    };
    function renderBars() {
      const fragment = document.createDocumentFragment();
      for (const language of order) {
        const tr = make('tr');
        const name = shownNode('th', '', visible(language.name));
        name.scope = 'row';
        name.dir = 'auto';
        tr.append(name, make('td', 'count', count(language.translated)),
                  make('td', 'count', count(language.untranslated)),
                  make('td', 'count', count(language.same)));
        if (checks) tr.append(make('td', 'count', count(language.flagged)));
        tr.append(make('td', 'count', count(language.conflicts)));
        const value = share(language);
        const cell = make('td');
        const holder = make('div', 'share');
        const bar = make('div', 'bar');
        bar.setAttribute('aria-hidden', 'true');
        const fill = make('div');
        fill.style.width = value + '%';
        bar.append(fill);
        holder.append(make('span', 'share-text', value.toFixed(1) + '%'), bar);
        cell.append(holder);
        tr.append(cell);
        fragment.append(tr);
      }
      barsBody.replaceChildren(fragment);
      byId('sort-name-cell').setAttribute('aria-sort', sortKey === 'name'
        ? (sortDirection > 0 ? 'ascending' : 'descending') : 'none');
      byId('sort-share-cell').setAttribute('aria-sort', sortKey === 'share'
        ? (sortDirection > 0 ? 'ascending' : 'descending') : 'none');
    }
    const byName = (a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0);
    // Exactly, by cross-multiplying the counts; no lines at all count as whole.
    const byShare = (a, b) => {
      const aAll = a.translated + a.untranslated, bAll = b.translated + b.untranslated;
      return (aAll ? a.translated : 1) * (bAll || 1) - (bAll ? b.translated : 1) * (aAll || 1);
    };
    function sortBy(key) {
      sortDirection = sortKey === key ? -sortDirection : 1;
      sortKey = key;
      const compare = key === 'name' ? byName : byShare;
      order = languages.slice().sort((a, b) => sortDirection * compare(a, b) || byName(a, b));
      renderBars();
      applyColumns();
    }
    byId('sort-name').addEventListener('click', () => sortBy('name'));
    byId('sort-share').addEventListener('click', () => sortBy('share'));

    // ----- The filter
    for (const language of languages) {
      const option = make('option', '', plain(language.name));
      option.value = String(language.index);
      filterLanguage.append(option);
    }
    const chosenLanguage = () => (filterLanguage.value === '' ? -1 : Number(filterLanguage.value));
    function matches(line, query, language) {
      if (line[1].toLowerCase().includes(query)) return true;
      if (language < 0) {
        for (const answer of line[3]) if (answer.toLowerCase().includes(query)) return true;
        return false;
      }
      const answer = answerOf(line, language);
      return answer !== null && answer.toLowerCase().includes(query);
    }
    // Whether the line has a problem of the mask in the language, or in any.
    function hasProblem(line, language, mask) {
      if (!line[5]) return false;
      if (language >= 0) return (problemsOf(line, language) & mask) !== 0;
      return line[5].some((bits) => (bits & mask) !== 0);
    }
    function applyFilter() {
      performance.mark('trcoverage:filtering');
      const query = filterText.value.toLowerCase();
      // The lines kept the same are untranslated too: "only untranslated" shows them.
      const onlyUntranslated = filterUntranslated.checked;
      const onlySame = filterSame.checked;
      const mask = Number(filterProblem.value);
      const language = chosenLanguage();
      const kept = [];
      for (let i = 0; i < lines.length; i++) {
        const line = lines[i];
        const states = line[2];
        if (onlyUntranslated && (language >= 0 ? isTranslated(states.charCodeAt(language))
                                               : !untranslatedLetter.test(states))) continue;
        if (onlySame && (language >= 0 ? !isSame(states.charCodeAt(language))
                                       : !sameLetter.test(states))) continue;
        if (mask && !hasProblem(line, language, mask)) continue;
        if (query && !matches(line, query, language)) continue;
        kept.push(i);
      }
      rows = kept;
      active.row = Math.min(active.row, Math.max(0, rows.length - 1));
      scroller.scrollTop = 0;
      applyColumns();
      const run = ++filterRuns;
      afterPaint(() => {
        performance.mark('trcoverage:filtered');
        root.dataset.filtered = String(run);
      });
    }
    let filterTimer = 0;
    filterText.addEventListener('input', () => {
      clearTimeout(filterTimer);
      filterTimer = setTimeout(applyFilter, FILTER_DELAY);
    });
    filterText.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') {
        clearTimeout(filterTimer);
        applyFilter();
      }
    });
    filterUntranslated.addEventListener('change', applyFilter);
    filterSame.addEventListener('change', applyFilter);
    filterProblem.addEventListener('change', applyFilter);
    filterLanguage.addEventListener('change', applyFilter);

    // ----- The matrix: only the rows on screen (and a few more) are built
    function applyColumns() {
      const language = chosenLanguage();
      columns = language >= 0 ? [languages[language]] : order;
      active.column = Math.min(active.column, columns.length);
      const cells = [matrixHead.cells[0], matrixHead.cells[1]];
      for (const language of columns) {
        const th = shownNode('th', 'lang', visible(language.name));
        th.scope = 'col';
        th.title = plain(language.name);
        th.dir = 'auto';
        cells.push(th);
      }
      matrixHead.replaceChildren(...cells);
      matrix.style.width = 'calc(var(--num) + var(--text) + ' + columns.length + ' * var(--lang))';
      matrix.setAttribute('aria-rowcount', String(rows.length + 1));
      matrix.setAttribute('aria-colcount', String(columns.length + 2));
      headHeight = matrixHead.offsetHeight;
      shownCount.textContent = 'Showing ' + count(rows.length) + ' of ' + count(lines.length) +
                               (lines.length === 1 ? ' line' : ' lines');
      rebuild();
    }

    // What a cell is, as its tooltip and its label say it.
    const stateName = (code) =>
      (isTranslated(code) ? 'translated' : isSame(code) ? 'kept the same' : 'untranslated');
    function cellFor(line, language, column) {
      const code = line[2].charCodeAt(language.index);
      const translated = isTranslated(code), same = isSame(code), conflict = isConflict(code);
      const problems = problemsOf(line, language.index);
      const td = make('td', 'c ' + (translated ? 'y' : same ? 's' : 'n') + (problems ? ' p' : '') +
                      (conflict ? ' x' : ''),
                      (translated ? '✓' : same ? '=' : '✗') + (problems ? '⚠' : '') +
                      (conflict ? '!' : ''));
      td.tabIndex = -1;
      td.dataset.column = String(column);
      td.setAttribute('aria-label', plain(language.name) + ': ' + stateName(code) +
                      (problems ? ', problems: ' + problemNames(problems) : '') +
                      (conflict ? ', differing' : ''));
      return td;
    }
    function rowFor(position) {
      const line = lines[rows[position]];
      const tr = make('tr');
      tr.dataset.position = String(position);
      tr.setAttribute('aria-rowindex', String(position + 2));
      const number = make('th', 'num', String(line[0]));
      number.scope = 'row';
      const text = make('td', 'text');
      text.tabIndex = -1;
      text.dataset.column = '0';
      const span = shownNode('span', line[1] === '' ? 'line empty' : 'line', oneLine(line[1]));
      span.dir = 'auto';
      // Said first: the cell ends where the column does.
      if (line[4] && line[4].text) {
        text.append(make('span', 'cut', 'cut (' + count(line[4].text) + ' characters)'), ' ');
      }
      text.append(span);
      tr.append(number, text);
      for (let k = 0; k < columns.length; k++) tr.append(cellFor(line, columns[k], k + 1));
      return tr;
    }
    function spacer() {
      const tr = make('tr', 'spacer');
      tr.setAttribute('aria-hidden', 'true');
      const td = make('td');
      td.colSpan = columns.length + 2;
      tr.append(td);
      return tr;
    }
    function setSpacer(tr, height) {
      tr.hidden = height <= 0;
      tr.firstChild.style.height = height + 'px';
    }

    // The rows that should be built for the scroll position, [from, to), and the first and
    // last rows wholly on screen. Row p lies at headHeight + p * rowHeight in the scroller,
    // and the sticky head covers the scroller's top headHeight pixels.
    function wanted() {
      const top = Math.max(0, scroller.scrollTop);
      const bottom = top + scroller.clientHeight - headHeight;
      const from = Math.max(0, Math.floor(top / rowHeight) - OVERSCAN);
      const to = Math.min(rows.length, Math.ceil(bottom / rowHeight) + OVERSCAN);
      const firstWhole = Math.min(rows.length - 1, Math.ceil(top / rowHeight));
      return [from, to, firstWhole, Math.max(firstWhole, Math.floor(bottom / rowHeight) - 1)];
    }

    // Rows [from, to), recorded in built, in a fragment: the page lays them out once.
    function buildRows(from, to) {
      const fragment = document.createDocumentFragment();
      for (let p = from; p < to; p++) {
        const tr = rowFor(p);
        built.set(p, tr);
        fragment.append(tr);
      }
      return fragment;
    }

    // Builds the wanted rows from nothing: after a filter, a sort, or for print.
    function rebuild() {
      built = new Map();
      topSpacer = spacer();
      bottomSpacer = spacer();
      const fragment = document.createDocumentFragment();
      fragment.append(topSpacer);
      if (rows.length === 0) {
        const tr = make('tr');
        const td = make('td', 'none', lines.length ? 'No line matches the filter.'
                                                   : 'The strings file has no lines.');
        td.colSpan = columns.length + 2;
        tr.append(td);
        fragment.append(tr);
        first = last = 0;
      } else {
        view = wanted();
        [first, last] = printing ? [0, Math.min(rows.length, PRINT_LIMIT)] : view;
        fragment.append(buildRows(first, last));
      }
      fragment.append(bottomSpacer);
      body.replaceChildren(fragment);
      setSpacer(topSpacer, printing ? 0 : first * rowHeight);
      setSpacer(bottomSpacer, printing ? 0 : (rows.length - last) * rowHeight);
      placeTabStop();
    }

    // Keeps the rows still wanted where they are, so that a focused cell stays focused while
    // it is on screen, and builds only those that scrolled in.
    function update() {
      if (printing || rows.length === 0) return;
      view = wanted();
      const [from, to] = view;
      if (from === first && to === last) return;
      if (from >= last || to <= first) {
        rebuild();
        return;
      }
      for (const [position, tr] of built) {
        if (position < from || position >= to) {
          if (tr.contains(document.activeElement)) scroller.focus({ preventScroll: true });
          tr.remove();
          built.delete(position);
        }
      }
      topSpacer.after(buildRows(from, Math.max(from, first)));
      bottomSpacer.before(buildRows(Math.max(last, from), to));
      first = from;
      last = to;
      setSpacer(topSpacer, first * rowHeight);
      setSpacer(bottomSpacer, (rows.length - last) * rowHeight);
      placeTabStop();
    }

    let scheduled = false;
    const schedule = () => {
      if (scheduled) return;
      scheduled = true;
      requestAnimationFrame(() => {
        scheduled = false;
        update();
      });
    };
    scroller.addEventListener('scroll', schedule, { passive: true });
    // The scroller grows and shrinks with the rows a filter lets through, and with the window.
    new ResizeObserver(schedule).observe(scroller);

    // ----- Keyboard: the grid is one tab stop; the arrow keys move within it
    const cellAt = (row, column) => {
      const tr = built.get(row);
      return tr ? tr.querySelector('[data-column="' + column + '"]') : null;
    };
    // By the scroll position read before the rows changed: reading it again would make the
    // browser lay the table out at once, and then again for the frame.
    function placeTabStop() {
      const focused = scroller.contains(document.activeElement) &&
                      document.activeElement !== scroller;
      // Tabbing into the grid lands on screen: on the cell last used while it is there.
      if (!focused && rows.length) {
        const [, , firstWhole, lastWhole] = view;
        if (active.row < firstWhole || active.row > lastWhole) active.row = firstWhole;
      }
      if (tabStop) tabStop.tabIndex = -1;
      tabStop = cellAt(active.row, active.column);
      if (tabStop) tabStop.tabIndex = 0;
    }
    function moveTo(row, column) {
      if (rows.length === 0) return;
      active = { row: Math.max(0, Math.min(rows.length - 1, row)),
                 column: Math.max(0, Math.min(columns.length, column)) };
      const top = headHeight + active.row * rowHeight;
      if (top < scroller.scrollTop + headHeight) {
        scroller.scrollTop = top - headHeight;
      } else if (top + rowHeight > scroller.scrollTop + scroller.clientHeight) {
        scroller.scrollTop = top + rowHeight - scroller.clientHeight;
      }
      update();
      placeTabStop();
      const cell = cellAt(active.row, active.column);
      if (cell) cell.focus();
    }
    scroller.addEventListener('keydown', (event) => {
      const cell = event.target.closest && event.target.closest('td[data-column]');
      if (!cell) return;
      const row = Number(cell.parentElement.dataset.position);
      const column = Number(cell.dataset.column);
      const page = Math.max(1, Math.floor((scroller.clientHeight - headHeight) / rowHeight) - 1);
      const moves = {
        ArrowUp: [row - 1, column], ArrowDown: [row + 1, column],
        ArrowLeft: [row, column - 1], ArrowRight: [row, column + 1],
        PageUp: [row - page, column], PageDown: [row + page, column],
        Home: event.ctrlKey ? [0, 0] : [row, 0],
        End: event.ctrlKey ? [rows.length - 1, columns.length] : [row, columns.length],
      };
      if (event.key === 'Escape') {
        hideTip();
        return;
      }
      const move = moves[event.key];
      if (!move) return;
      event.preventDefault();
      moveTo(move[0], move[1]);
    });

    // ----- The tooltip: a cell's translation, or a line's text
    const textBlock = (text) => {
      const div = shownNode('div', 'tip-text' + (text === '' ? ' line empty' : ''), visible(text));
      div.dir = 'auto';
      return div;
    };
    const cutNote = (what, shown, length) =>
      make('div', 'tip-cut', 'Cut: the ' + what + ' has ' + count(length) +
           ' characters; the page shows its first ' + count([...shown].length) + '.');
    let tipCell = null;
    function showTip(cell) {
      const tr = cell.parentElement;
      if (!tr || tr.dataset.position === undefined) return;
      const line = lines[rows[Number(tr.dataset.position)]];
      const column = Number(cell.dataset.column);
      const parts = [];
      if (column === 0) {
        parts.push(make('div', 'tip-head', 'Line ' + line[0]));
        // Before the text, which may fill the tooltip.
        if (line[4] && line[4].text) parts.push(cutNote('line', line[1], line[4].text));
        parts.push(textBlock(line[1]));
      } else {
        const language = columns[column - 1];
        const code = line[2].charCodeAt(language.index);
        const head = make('div', 'tip-head');
        const name = shownNode('bdi', '', visible(language.name));
        head.append(name, ': line ' + line[0] + ', ' + stateName(code));
        parts.push(head);
        // Before the text, which may fill the tooltip.
        const problems = problemsOf(line, language.index);
        if (problems) {
          parts.push(make('div', 'tip-problems', '⚠ Problems: ' + problemNames(problems)));
        }
        const index = answerIndex(line, language.index);
        if (index >= 0) {
          const answer = line[3][index];
          const length = line[4] && line[4].answers[index];
          if (length) parts.push(cutNote('translation', answer, length));
          parts.push(textBlock(answer));
        }
        if (isConflict(code)) {
          parts.push(make('div', 'tip-note',
                          '! Another component translates this line differently.'));
        }
      }
      tip.replaceChildren(...parts);
      tip.hidden = false;
      tipCell = cell;
      cell.setAttribute('aria-describedby', 'tip');
      const box = cell.getBoundingClientRect();
      const width = tip.offsetWidth, height = tip.offsetHeight;
      const left = Math.max(4, Math.min(box.left, innerWidth - width - 4));
      const below = box.bottom + 4;
      const top = below + height <= innerHeight ? below : Math.max(4, box.top - height - 4);
      tip.style.left = left + 'px';
      tip.style.top = top + 'px';
    }
    function hideTip() {
      if (tipCell) tipCell.removeAttribute('aria-describedby');
      tipCell = null;
      tip.hidden = true;
    }
    body.addEventListener('mouseover', (event) => {
      const cell = event.target.closest('td[data-column]');
      if (cell) showTip(cell);
    });
    body.addEventListener('mouseleave', () => {
      if (document.activeElement && document.activeElement.dataset &&
          document.activeElement.dataset.column !== undefined) {
        showTip(document.activeElement);
      } else {
        hideTip();
      }
    });
    body.addEventListener('focusin', (event) => {
      const cell = event.target.closest('td[data-column]');
      if (!cell) return;
      active = { row: Number(cell.parentElement.dataset.position),
                 column: Number(cell.dataset.column) };
      showTip(cell);
    });
    body.addEventListener('focusout', (event) => {
      if (!body.contains(event.relatedTarget)) hideTip();
    });
    // The tooltip follows its cell while the cell is on screen.
    const followTip = () => {
      if (!tipCell) return;
      const box = tipCell.getBoundingClientRect(), view = scroller.getBoundingClientRect();
      const onScreen = tipCell.isConnected && box.bottom > view.top + headHeight &&
                       box.top < view.bottom && box.right > view.left && box.left < view.right;
      if (onScreen) showTip(tipCell);
      else hideTip();
    };
    scroller.addEventListener('scroll', () => requestAnimationFrame(followTip), { passive: true });
    addEventListener('scroll', () => requestAnimationFrame(followTip), { passive: true });
    addEventListener('keydown', (event) => {
      if (event.key === 'Escape') hideTip();
    });

    // ----- Print: the rows the filter lets through, up to a limit, without the scroller
    addEventListener('beforeprint', () => {
      printing = true;
      hideTip();
      rebuild();
      printNote.hidden = rows.length <= PRINT_LIMIT;
      printNote.textContent = 'Printed: the first ' + count(PRINT_LIMIT) + ' of ' +
                              count(rows.length) + ' lines shown. Narrow the filter to print others.';
    });
    addEventListener('afterprint', () => {
      printing = false;
      printNote.hidden = true;
      // Once the screen's layout is back, which sizes the scroller again.
      requestAnimationFrame(rebuild);
    });

    renderBars();
    applyColumns();
    afterPaint(() => {
      performance.mark('trcoverage:ready');
      root.dataset.state = root.dataset.state || 'ready';
    });
  }

  main().catch((error) => fail('The page could not show its data: ' + error.message));
})();
