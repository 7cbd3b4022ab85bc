#include "page.h"

#include "pageassets.h"

#include <QCryptographicHash>
#include <QIODevice>

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

// The states of one cell, one letter each, as the page's script reads them.
char cellState(const PageCell &cell)
{
    if (cell.translated)
        return cell.conflict ? 'Y' : 'y';
    return cell.conflict ? 'N' : 'n';
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

char *hexEscape(char *out, char16_t unit)
{
    static const char digits[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    *out++ = digits[(unit >> 12) & 0xf];
    *out++ = digits[(unit >> 8) & 0xf];
    *out++ = digits[(unit >> 4) & 0xf];
    *out++ = digits[unit & 0xf];
    return out;
}

// Whether a UTF-16 unit outside ASCII, not a surrogate, is written escaped: the C1 controls,
// the line and paragraph separators and the noncharacters of the Basic Multilingual Plane, all
// of which an HTML parser or a text tool may take for something other than text.
bool escapedBeyondAscii(char16_t unit)
{
    return unit <= 0x9f || unit == 0x2028 || unit == 0x2029 || (unit >= 0xfdd0 && unit <= 0xfdef) ||
           unit >= 0xfffe;
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
        appendJsonString(out, text);
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
        appendJsonString(out, text);
        return;
    }
    out += '[';
    appendJsonString(out, text.first(cut));
    out += ',';
    appendNumber(out, length);
    out += ']';
}

} // namespace

void appendJsonString(QByteArray &out, QStringView text)
{
    // At most 6 bytes per UTF-16 unit (\uXXXX), and the quotes.
    const qsizetype start = out.size();
    out.resize(start + 6 * text.size() + 2);
    char *const begin = out.data() + start;
    char *p = begin;
    *p++ = '"';
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    while (unit < end) {
        const char16_t c = *unit++;
        if (c < 0x80) {
            if (c >= 0x20 && c != '"' && c != '\\' && c != '<' && c != '>' && c != '&' &&
                c != 0x7f) {
                *p++ = char(c);
            } else if (c == '"' || c == '\\') {
                *p++ = '\\';
                *p++ = char(c);
            } else {
                p = hexEscape(p, c);
            }
        } else if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && unit < end && QChar::isLowSurrogate(*unit)) {
                const char32_t code = QChar::surrogateToUcs4(c, *unit++);
                if ((code & 0xfffe) == 0xfffe) {
                    // A noncharacter beyond the Basic Multilingual Plane.
                    p = hexEscape(p, c);
                    p = hexEscape(p, unit[-1]);
                } else {
                    *p++ = char(0xf0 | (code >> 18));
                    *p++ = char(0x80 | ((code >> 12) & 0x3f));
                    *p++ = char(0x80 | ((code >> 6) & 0x3f));
                    *p++ = char(0x80 | (code & 0x3f));
                }
            } else {
                p = hexEscape(p, c);
            }
        } else if (escapedBeyondAscii(c)) {
            p = hexEscape(p, c);
        } else if (c < 0x800) {
            *p++ = char(0xc0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3f));
        } else {
            *p++ = char(0xe0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3f));
            *p++ = char(0x80 | (c & 0x3f));
        }
    }
    *p++ = '"';
    out.resize(start + (p - begin));
}

QString bytesAsText(const QByteArray &name)
{
    QString text;
    const auto *byte = reinterpret_cast<const unsigned char *>(name.constData());
    const auto *const end = byte + name.size();
    while (byte < end) {
        // The length of a well-formed UTF-8 character starting here, 0 when there is none:
        // no overlong form, no surrogate, nothing beyond U+10FFFF.
        qsizetype length = 0;
        const unsigned char lead = *byte;
        const qsizetype left = end - byte;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = left >= 2 && (byte[1] & 0xc0) == 0x80 ? 2 : 0;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            const unsigned char low = lead == 0xe0 ? 0xa0 : 0x80;
            const unsigned char high = lead == 0xed ? 0x9f : 0xbf;
            length =
                left >= 3 && byte[1] >= low && byte[1] <= high && (byte[2] & 0xc0) == 0x80 ? 3 : 0;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            const unsigned char low = lead == 0xf0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xf4 ? 0x8f : 0xbf;
            length = left >= 4 && byte[1] >= low && byte[1] <= high && (byte[2] & 0xc0) == 0x80 &&
                             (byte[3] & 0xc0) == 0x80
                         ? 4
                         : 0;
        }
        if (length) {
            // Decoded here: the toolkit's decoder takes a U+FEFF that starts its input for a
            // byte-order mark and drops it, and each character starts an input of its own.
            static const unsigned char leadBits[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
            char32_t code = lead & leadBits[length];
            for (qsizetype i = 1; i < length; ++i)
                code = code << 6 | (byte[i] & 0x3f);
            if (QChar::requiresSurrogates(code)) {
                text += QChar(QChar::highSurrogate(code));
                text += QChar(QChar::lowSurrogate(code));
            } else {
                text += QChar(char16_t(code));
            }
            byte += length;
        } else {
            static const char digits[] = "0123456789abcdef";
            text += u"\\x";
            text += QLatin1Char(digits[*byte >> 4]);
            text += QLatin1Char(digits[*byte & 0xf]);
            ++byte;
        }
    }
    return text;
}

CoveragePage::CoveragePage(QIODevice &device) : device(device) {}

CoveragePage::~CoveragePage() = default;

void CoveragePage::write(const QByteArray &bytes)
{
    if (!failed && device.write(bytes) != bytes.size())
        failed = true;
}

void CoveragePage::start(const QByteArray &stringsFile, const QByteArray &catalogDirectory,
                         const QStringList &languages, const QDateTime &made)
{
    languageCount = languages.size();
    answers.resize(languageCount);
    QByteArray out;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"";
    out += securityPolicy();
    out += "\">\n<meta name=\"referrer\" content=\"no-referrer\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta name=\"generator\" content=\"trcoverage\">\n"
           "<title>Translation coverage</title>\n</head>\n<body>\n";
    // The body opens with what a page that is cut short says, before the style and the data,
    // where a cut would hide everything after it.
    out += pageBody;
    out += "<style>";
    out += pageStyle;
    out += "</style>\n";
    out += "<script type=\"application/json\" id=\"page-head\">{\"strings\":";
    appendJsonString(out, bytesAsText(stringsFile));
    out += ",\"directory\":";
    appendJsonString(out, bytesAsText(catalogDirectory));
    out += ",\"languages\":[";
    for (qsizetype i = 0; i < languages.size(); ++i) {
        if (i)
            out += ',';
        appendJsonString(out, languages[i]);
    }
    out += "],\"made\":";
    // With its offset from UTC, so that the time means the same wherever the page is read.
    appendJsonString(out, made.toOffsetFromUtc(made.offsetFromUtc()).toString(Qt::ISODate));
    out += "}</script>\n";
    write(out);
}

void CoveragePage::addLine(qint64 number, QStringView text, const QList<PageCell> &cells)
{
    if (failed)
        return;
    const qsizetype before = numbers.size() + texts.size() + states.size();
    if (!numbers.isEmpty()) {
        numbers += ',';
        texts += ',';
    }
    appendNumber(numbers, number);
    appendShownText(texts, text);
    for (qsizetype i = 0; i < languageCount; ++i) {
        const bool there = i < cells.size();
        states += there ? cellState(cells[i]) : 'n';
        if (there && cells[i].translated) {
            QByteArray &column = answers[i];
            const qsizetype start = column.size();
            if (start)
                column += ',';
            appendShownText(column, cells[i].answer);
            chunkSize += column.size() - start;
        }
    }
    chunkSize += numbers.size() + texts.size() + states.size() - before;
    if (chunkSize >= chunkBytes)
        writeChunk();
}

// A chunk is [[number...], [text...], "states", [translation...]...]: a state letter per line
// and language, line by line, and per language the translations of its translated cells, in
// line order; a text too long to show whole is [its first characters, its length].
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
    chunk += '"';
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
    chunkSize = 0;
    // qCompress puts the length in 4 bytes before a zlib stream; the page's script inflates
    // the stream alone.
    const QByteArray packed = qCompress(chunk, compressionLevel);
    chunk.clear();
    QByteArray out = "<script type=\"application/x-trcoverage-lines\" class=\"page-lines\">";
    out += QByteArrayView(packed).sliced(4).toByteArray().toBase64();
    out += "</script>\n";
    write(out);
}

bool CoveragePage::finish(const QList<PageTotal> &totals)
{
    writeChunk();
    QByteArray out = "<script type=\"application/json\" id=\"page-end\">{\"totals\":[";
    for (qsizetype i = 0; i < languageCount; ++i) {
        const PageTotal total = i < totals.size() ? totals[i] : PageTotal();
        out += i ? ",[" : "[";
        appendNumber(out, total.translated);
        out += ',';
        appendNumber(out, total.untranslated);
        out += ']';
    }
    out += "]}</script>\n<script>";
    out += pageScript;
    out += "</script>\n</body>\n</html>\n";
    write(out);
    return !failed;
}
