#include "checks.h"

#include "verdict.h"

#include <QtAlgorithms>

#include <unicode/uchar.h>

#include <algorithm>
#include <atomic>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

using Ending = TextFacts::Ending;
using Tag = TextFacts::Tag;
using TagKind = TextFacts::TagKind;

// ----- Columns

// What ICU says of one character.
int icuColumns(char32_t c)
{
    const int type = u_charType(UChar32(c));
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR)
        return 0;
    const int east = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
    return east == U_EA_WIDE || east == U_EA_FULLWIDTH ? 2 : 1;
}

// ICU's answers for the first plane, one more than the columns (a high surrogate: 4, as its
// character depends on the next unit), 0 until asked: two lookups in ICU cost some 60
// instructions, and a translation into Japanese is all such characters. A miss asks for the 32
// characters around at once. Any thread may fill an entry, and threads that do it at once fill
// it alike; an entry is whole in itself.
std::atomic<quint8> planeColumns[0x10000];
constexpr quint8 highSurrogate = 4;

Q_NEVER_INLINE int fillColumns(char16_t c)
{
    const unsigned first = c & ~31u;
    for (unsigned k = first; k < first + 32; ++k) {
        const quint8 stored = QChar::isHighSurrogate(k) ? highSurrogate : quint8(icuColumns(k) + 1);
        planeColumns[k].store(stored, std::memory_order_relaxed);
    }
    return planeColumns[c].load(std::memory_order_relaxed);
}

// ----- Tags

bool isSpace(char16_t c)
{
    return QChar::isSpace(c);
}

bool isAsciiLetter(char16_t c)
{
    return char16_t(c | 0x20) >= u'a' && char16_t(c | 0x20) <= u'z';
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The tag that starts at s[at] == '<', if one does.
bool readTag(const char16_t *s, qsizetype n, qsizetype at, Tag &tag)
{
    qsizetype i = at + 1;
    tag.kind = TagKind::Open;
    if (i < n && s[i] == u'/') {
        tag.kind = TagKind::Close;
        ++i;
    }
    if (i == n || !isAsciiLetter(s[i]))
        return false;
    const qsizetype start = i;
    while (i < n && (isAsciiLetter(s[i]) || isAsciiDigit(s[i])))
        ++i;
    tag.name = QStringView(s + start, i - start);
    if (i == n)
        return false;
    if (tag.kind == TagKind::Close) {
        while (i < n && isSpace(s[i]))
            ++i;
        return i < n && s[i] == u'>';
    }
    if (s[i] == u'>')
        return true;
    if (s[i] == u'/') {
        tag.kind = TagKind::SelfClosing;
        return i + 1 < n && s[i + 1] == u'>';
    }
    if (!isSpace(s[i]))
        return false;
    // Attributes, to the first '>'; a '<' first means this one was text.
    for (++i; i < n; ++i) {
        if (s[i] == u'>') {
            if (s[i - 1] == u'/')
                tag.kind = TagKind::SelfClosing;
            return true;
        }
        if (s[i] == u'<')
            return false;
    }
    return false;
}

bool sameTag(const Tag &a, const Tag &b)
{
    if (a.kind != b.kind || a.name.size() != b.name.size())
        return false;
    // Names are ASCII letters and digits, which setting bit 5 puts in one case.
    for (qsizetype i = 0; i < a.name.size(); ++i) {
        if ((a.name[i].unicode() | 0x20) != (b.name[i].unicode() | 0x20))
            return false;
    }
    return true;
}

bool tagLess(const Tag &a, const Tag &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
}

// As multisets. A translation mostly keeps its line's tags in their order, which needs no
// sorting.
bool sameTags(const QVarLengthArray<Tag, 8> &a, const QVarLengthArray<Tag, 8> &b)
{
    if (a.size() != b.size())
        return false;
    if (std::equal(a.begin(), a.end(), b.begin(), sameTag))
        return true;
    QVarLengthArray<Tag, 8> sortedA = a, sortedB = b;
    std::sort(sortedA.begin(), sortedA.end(), tagLess);
    std::sort(sortedB.begin(), sortedB.end(), tagLess);
    return std::equal(sortedA.begin(), sortedA.end(), sortedB.begin(), sameTag);
}

// ----- Markers

void addMarker(TextFacts &facts, int number)
{
    facts.markersHeld[number >> 6] |= quint64(1) << (number & 63);
    ++facts.markerCount[number];
}

bool sameMarkers(const TextFacts &a, const TextFacts &b)
{
    for (int w = 0; w < 2; ++w) {
        if (a.markersHeld[w] != b.markersHeld[w])
            return false;
        for (quint64 bits = a.markersHeld[w]; bits; bits &= bits - 1) {
            const int number = w * 64 + qCountTrailingZeroBits(bits);
            if (a.markerCount[number] != b.markerCount[number])
                return false;
        }
    }
    return true;
}

// ----- One pass over a text

// '%', '&' and '<': the only ASCII characters that start anything, all below 64.
constexpr quint64 startsSomething = (quint64(1) << '%') | (quint64(1) << '&') | (quint64(1) << '<');

// Columns beyond one a unit, added to extra, from p on, which is beyond ASCII, to what starts
// something or eight ASCII units in a row (which are quicker to pass over eight at a time):
// words in Cyrillic or Japanese between ASCII spaces are one run. Returns where it stopped.
const char16_t *measureRun(const char16_t *p, const char16_t *end, qint64 &extra)
{
    // Each character beyond ASCII adds its stored value, two more than it adds to extra.
    qint64 sum = 0, counted = 0;
    int ascii = 0;
    while (p != end) {
        const char16_t c = *p;
        if (Q_UNLIKELY(c < 0x80)) {
            if ((c < 64 && ((startsSomething >> c) & 1)) || ++ascii == 8)
                break;
            ++p;
            continue;
        }
        ascii = 0;
        ++p;
        unsigned stored = planeColumns[c].load(std::memory_order_relaxed);
        if (Q_UNLIKELY(stored - 1 > 2)) {
            if (stored == 0)
                stored = fillColumns(c);
            if (stored == highSurrogate) {
                stored = 2; // alone, one column
                if (p != end && QChar::isLowSurrogate(*p))
                    stored = icuColumns(QChar::surrogateToUcs4(c, *p++));
            }
        }
        sum += stored;
        ++counted;
    }
    extra += sum - 2 * counted;
    return p;
}

struct Scanner
{
    const char16_t *s;
    qsizetype n;
    bool measure;
    TextFacts &facts;
    // Columns beyond one a unit: negative for marks and for the second unit of a pair.
    qint64 extra = 0;

    // Only at a unit that starts something or, measured, is beyond ASCII.
    qsizetype step(qsizetype i)
    {
        if (s[i] < 0x80)
            return special(i);
        const char16_t *const end = s + n;
        const char16_t *p = s + i;
        p = measureRun(p, end, extra);
        return p - s;
    }

    qsizetype special(qsizetype i)
    {
        if (s[i] == u'&') {
            if (i + 1 == n)
                return n;
            // "&&" is a literal ampersand: its second '&' starts nothing.
            if (s[i + 1] == u'&')
                return i + 2;
            if (!isSpace(s[i + 1]))
                ++facts.accelerators;
        } else if (s[i] == u'%') {
            qsizetype j = i + 1;
            if (j < n && s[j] == u'L')
                ++j;
            if (j < n && isAsciiDigit(s[j])) {
                int number = s[j] - u'0';
                if (j + 1 < n && isAsciiDigit(s[j + 1]))
                    number = number * 10 + (s[j + 1] - u'0');
                addMarker(facts, number);
            } else if (j < n && s[j] == u'n') {
                ++facts.plurals;
            }
        } else if (s[i] == u'<') {
            Tag tag;
            if (readTag(s, n, i, tag))
                facts.tags.append(tag);
        }
        return i + 1;
    }

    void run()
    {
        qsizetype i = 0;
#ifdef __SSE2__
        // Most of a line neither starts anything nor, even measured, is beyond ASCII: eight
        // units are looked at a time, the last eight (again in part) for what is left over.
        const __m128i percent = _mm_set1_epi16('%'), ampersand = _mm_set1_epi16('&');
        const __m128i less = _mm_set1_epi16('<'), ascii = _mm_set1_epi16(0x7f);
        const __m128i beyondWanted = measure ? _mm_set1_epi16(-1) : _mm_setzero_si128();
        const auto toLook = [&](qsizetype at) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at));
            const __m128i starts = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi16(units, percent), _mm_cmpeq_epi16(units, ampersand)),
                _mm_cmpeq_epi16(units, less));
            const __m128i inAscii =
                _mm_cmpeq_epi16(_mm_subs_epu16(units, ascii), _mm_setzero_si128());
            // Two bits a unit.
            return quint32(
                _mm_movemask_epi8(_mm_or_si128(starts, _mm_andnot_si128(inAscii, beyondWanted))));
        };
        if (n >= 8) {
            while (i < n) {
                quint32 look;
                if (n - i >= 8) {
                    look = toLook(i);
                    if (!look) {
                        i += 8;
                        continue;
                    }
                } else {
                    look = toLook(n - 8) >> (2 * (i - (n - 8)));
                    if (!look)
                        break;
                }
                i = step(i + qCountTrailingZeroBits(look) / 2);
            }
            i = n;
        }
#endif
        for (; i < n; ++i) {
            const char16_t c = s[i];
            if (c < 64 ? (startsSomething >> c) & 1 : c >= 0x80 && measure)
                i = step(i) - 1;
        }
    }
};

qsizetype leadingSpace(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i].unicode()))
        ++i;
    return i;
}

qsizetype trailingSpace(QStringView text)
{
    qsizetype i = text.size();
    while (i > 0 && isSpace(text[i - 1].unicode()))
        --i;
    return text.size() - i;
}

// The class of the text's last character, its trailing white space already cut off.
Ending ending(QStringView text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return Ending::None;
    switch (text[n - 1].unicode()) {
    case u'.':
        return n >= 3 && text[n - 2] == u'.' && text[n - 3] == u'.' ? Ending::Ellipsis
                                                                    : Ending::FullStop;
    case u'\u3002':
    case u'\uff61':
    case u'\u0964':
    case u'\u06d4':
        return Ending::FullStop;
    case u'?':
    case u'\uff1f':
    case u'\u061f':
        return Ending::Question;
    case u'!':
    case u'\uff01':
        return Ending::Exclamation;
    case u':':
    case u'\uff1a':
        return Ending::Colon;
    case u'\u2026':
        return Ending::Ellipsis;
    default:
        return Ending::None;
    }
}

void findFacts(QStringView text, bool measure, TextFacts &facts)
{
    Scanner scanner{text.utf16(), text.size(), measure, facts};
    scanner.run();
    facts.text = text;
    facts.measured = measure;
    if (measure)
        facts.width = quint64(qint64(text.size()) + scanner.extra);
    facts.leadingSpace = text.first(leadingSpace(text));
    const qsizetype trail = trailingSpace(text);
    facts.trailingSpace = text.last(trail);
    facts.ending = ending(text.chopped(trail));
}

} // namespace

TextFacts lineFacts(QStringView line, const CheckLimits &limits)
{
    TextFacts facts;
    findFacts(line, limits.maxGrowth.has_value(), facts);
    return facts;
}

Problems checkTranslation(const TextFacts &line, QStringView translation, const CheckLimits &limits)
{
    TextFacts target;
    findFacts(translation, limits.maxWidth || limits.maxGrowth, target);
    Problems problems;
    if (line.plurals != target.plurals || !sameMarkers(line, target))
        problems |= Problem::Placeholders;
    if (line.accelerators != target.accelerators)
        problems |= Problem::Accelerator;
    if (!sameText(line.leadingSpace, target.leadingSpace) ||
        !sameText(line.trailingSpace, target.trailingSpace))
        problems |= Problem::Whitespace;
    if (line.ending != target.ending)
        problems |= Problem::Punctuation;
    if (!sameTags(line.tags, target.tags))
        problems |= Problem::Markup;
    if (limits.maxWidth && target.width > *limits.maxWidth)
        problems |= Problem::Width;
    if (limits.maxGrowth &&
        exceedsGrowth(target.width, line.measured ? line.width : displayWidth(line.text),
                      *limits.maxGrowth))
        problems |= Problem::Growth;
    return problems;
}

Problems checkTranslation(QStringView line, QStringView translation, const CheckLimits &limits)
{
    return checkTranslation(lineFacts(line, limits), translation, limits);
}

quint64 displayWidth(QStringView text)
{
    TextFacts facts;
    findFacts(text, true, facts);
    return facts.width;
}

bool exceedsGrowth(quint64 translationWidth, quint64 lineWidth, quint64 percent)
{
    // Below 2^32 each, neither product passes 2^64.
    if ((translationWidth | lineWidth | percent) >> 32 == 0)
        return translationWidth * 100 > lineWidth * percent;
    // translationWidth * 100 > lineWidth * percent exactly when translationWidth exceeds
    // floor(lineWidth * percent / 100), which is put together from parts below 100 so that
    // only a sum that truly passes 2^64 overflows, and then nothing exceeds it.
    const quint64 wholes = percent / 100, rest = percent % 100;
    quint64 limit = 0;
    if (__builtin_mul_overflow(lineWidth, wholes, &limit))
        return false;
    const quint64 parts = (lineWidth / 100) * rest + (lineWidth % 100) * rest / 100;
    if (__builtin_add_overflow(limit, parts, &limit))
        return false;
    return translationWidth > limit;
}
