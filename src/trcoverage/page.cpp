#include "page.h"

#include "bytesastext.h"
#include "jsonstring.h"
#include "pageassets.h"

#include "writer.h"
#include <QCryptographicHash>
#include <QStringView>

#include <charconv>

namespace {

// Lines are compressed in chunks of about this many bytes of JSON: deflate looks back 32 KB,
// and a chunk this large gives each of some thirty languages that much text of its own.
constexpr qsizetype chunkBytes = 2 * 1024 * 1024;
// A text longer than this many characters (code points) is cut to its first ones on the page,
// which says so and tells the whole length. As much as the tooltip shows at a glance; a page of
// 100,000 lines that long opens in seconds, where one line of 100 MB, escaped, would pass the
// browser's longest string. It also bounds what the writer holds for a line.
constexpr qsizetype shownCharacters = 2000;
// Level 3 deflates in half the instructions of the default 6, for a page a tenth larger: the
// page then costs a run less than the lookups of the languages it shows.
constexpr int compressionLevel = 3;

// The state of one cell, a letter, as the page's script reads it: y translated, p translated
// with problems, s kept the same, n untranslated otherwise; in capitals where another component
// translates the line differently (it may be untranslated all the same: the answering component
// gives it back unchanged).
char cellState(const Outcome &outcome, bool flagged)
{
    const char state = outcome.translated ? (flagged ? 'p' : 'y') : outcome.same ? 's' : 'n';
    return outcome.differs ? char(state - 'a' + 'A') : state;
}

QByteArray hashSource(const char *text)
{
    return "'sha256-" +
           QCryptographicHash::hash(QByteArray(text), QCryptographicHash::Sha256).toBase64() + "'";
}

// The policy allows the page's own style and script by their hashes and nothing else: no other
// script, style, image, font, frame or connection, no eval, and no string that could become
// markup through the DOM (Trusted Types with no policy).
QByteArray securityPolicy()
{
    return "default-src 'none'; script-src " + hashSource(pageScript) + "; style-src " +
           hashSource(pageStyle) +
           "; base-uri 'none'; form-action 'none'; require-trusted-types-for 'script'; "
           "trusted-types 'none'";
}

// In place: a line's number is appended for every line, and a temporary array would cost an
// allocation each.
void appendNumber(QByteArray &out, qint64 number)
{
    char digits[20];
    const char *const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
}

// The text as the page shows it: a JSON string, or when it is longer than the page shows, the
// array [its first shownCharacters characters, its length in characters]. A surrogate pair is
// one character and is never split; a lone surrogate is one too.
void appendShownText(QByteArray &out, QStringView text)
{
    if (text.size() <= shownCharacters) {
        appendJsonString(out, text, JsonIn::page);
        return;
    }
    qint64 length = 0;
    qsizetype cut = 0;
    const char16_t *const units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++length) {
        if (length == shownCharacters)
            cut = i;
        const bool pair = QChar::isHighSurrogate(units[i]) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(units[i + 1]);
        i += pair ? 2 : 1;
    }
    if (length <= shownCharacters) {
        appendJsonString(out, text, JsonIn::page);
        return;
    }
    out += '[';
    appendJsonString(out, text.first(cut), JsonIn::page);
    out += ',';
    appendNumber(out, length);
    out += ']';
}

} // namespace

CoveragePage::CoveragePage(Writer &out, const QByteArray &stringsFile, const QDateTime &made,
                           const std::optional<CheckLimits> &checks)
    : out(out), stringsFile(stringsFile), made(made), checks(checks)
{
    if (!checks)
        return;
    for (const ProblemName &check : problemNames) {
        if ((check.problem != Problem::Width || checks->maxWidth) &&
            (check.problem != Problem::Growth || checks->maxGrowth))
            checksMade.push_back(check);
    }
}

CoveragePage::~CoveragePage() = default;

void CoveragePage::begin(const PassHeader &header)
{
    languageCount = qsizetype(header.languages.size());
    answers.resize(languageCount);
    QByteArray html;
    html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"";
    html += securityPolicy();
    html += "\">\n<meta name=\"referrer\" content=\"no-referrer\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"generator\" content=\"trcoverage\">\n"
            "<title>Translation coverage</title>\n</head>\n<body>\n";
    // The body opens with what a page that is cut short says, before the style and the data,
    // where a cut would hide everything after it.
    html += pageBody;
    html += "<style>";
    html += pageStyle;
    html += "</style>\n";
    html += "<script type=\"application/json\" id=\"page-head\">{\"strings\":";
    appendJsonString(html, bytesAsText(stringsFile), JsonIn::page);
    html += ",\"directory\":";
    appendJsonString(html, bytesAsText(header.directory), JsonIn::page);
    html += ",\"languages\":[";
    for (qsizetype i = 0; i < languageCount; ++i) {
        if (i)
            html += ',';
        appendJsonString(html, header.languages[size_t(i)].name, JsonIn::page);
    }
    html += ']';
    // Only for a run that checks: the page shows nothing of checks without it. The limits are
    // strings, as a number past 2^53 would not come through JavaScript exactly.
    if (checks) {
        html += ",\"checks\":[";
        for (const ProblemName &check : checksMade) {
            html += html.endsWith('[') ? "\"" : ",\"";
            html += check.name;
            html += '"';
        }
        html += ']';
        if (checks->maxWidth)
            html += ",\"maxWidth\":\"" + QByteArray::number(*checks->maxWidth) + '"';
        if (checks->maxGrowth)
            html += ",\"maxGrowth\":\"" + QByteArray::number(*checks->maxGrowth) + '"';
    }
    html += ",\"made\":";
    // With its offset from UTC, so that the time means the same wherever the page is read.
    appendJsonString(html, made.toOffsetFromUtc(made.offsetFromUtc()).toString(Qt::ISODate),
                     JsonIn::page);
    html += "}</script>\n";
    out << html;
}

void CoveragePage::addLine(const LineOutcome &line)
{
    if (out.failed())
        return;
    const qsizetype before = numbers.size() + texts.size() + states.size() + problems.size();
    if (!numbers.isEmpty()) {
        numbers += ',';
        texts += ',';
    }
    appendNumber(numbers, line.number);
    appendShownText(texts, line.text);
    for (qsizetype i = 0; i < languageCount; ++i) {
        const Outcome &outcome = line.outcome(i);
        // The problems as bits in the order of the checks the page names.
        int shown = 0;
        if (outcome.translated) {
            for (size_t k = 0; k < checksMade.size(); ++k) {
                if (outcome.problems & quint8(checksMade[k].problem))
                    shown |= 1 << k;
            }
        }
        states += cellState(outcome, shown != 0);
        if (shown) {
            if (!problems.isEmpty())
                problems += ',';
            appendNumber(problems, shown);
        }
        // Only a translation is shown.
        if (outcome.translated) {
            QByteArray &column = answers[i];
            const qsizetype start = column.size();
            if (start)
                column += ',';
            appendShownText(column, outcome.answer);
            chunkSize += column.size() - start;
        }
    }
    chunkSize += numbers.size() + texts.size() + states.size() + problems.size() - before;
    if (chunkSize >= chunkBytes)
        writeChunk();
}

// A chunk is [[number...], [text...], "states", [problems...], [translation...]...]: a state
// letter per line and language, line by line; the problems of each cell whose state says it has
// some, in the order of the states, as bits in the order of the header's checks; and per
// language the translations of its translated cells, in line order. A text too long to show
// whole is [its first characters, its length].
void CoveragePage::writeChunk()
{
    if (numbers.isEmpty())
        return;
    QByteArray chunk;
    chunk.reserve(chunkSize + 2 * languageCount + 16);
    chunk += "[[";
    chunk += numbers;
    chunk += "],[";
    chunk += texts;
    chunk += "],\"";
    chunk += states;
    chunk += "\",[";
    chunk += problems;
    chunk += ']';
    for (QByteArray &column : answers) {
        chunk += ",[";
        chunk += column;
        chunk += ']';
        column.resize(0);
    }
    chunk += ']';
    numbers.resize(0);
    texts.resize(0);
    states.resize(0);
    problems.resize(0);
    chunkSize = 0;
    // qCompress puts the length in 4 bytes before a zlib stream; the page's script inflates
    // the stream alone.
    const QByteArray packed = qCompress(chunk, compressionLevel);
    chunk.clear();
    QByteArray html = "<script type=\"application/x-trcoverage-lines\" class=\"page-lines\">";
    html += QByteArrayView(packed).sliced(4).toByteArray().toBase64();
    html += "</script>\n";
    out << html;
}

void CoveragePage::end(const PassTotals &totals)
{
    writeChunk();
    QByteArray html = "<script type=\"application/json\" id=\"page-end\">{\"totals\":[";
    for (qsizetype i = 0; i < languageCount; ++i) {
        // Translated, untranslated, kept the same, with problems: what the lines must add up to.
        const qint64 translated = totals.translated[size_t(i)];
        html += i ? ",[" : "[";
        appendNumber(html, translated);
        html += ',';
        appendNumber(html, totals.lines - translated);
        html += ',';
        appendNumber(html, totals.same[size_t(i)]);
        html += ',';
        appendNumber(html, checks ? totals.problems[size_t(i)] : 0);
        html += ']';
    }
    html += "]}</script>\n<script>";
    html += pageScript;
    html += "</script>\n</body>\n</html>\n";
    out << html;
}
