#include "checks.h"

#include <QVarLengthArray>
#include <QtAlgorithms>

#include <unicode/uchar.h>

#include <algorithm>

namespace {

enum class TagKind : quint8 { Open, Close, SelfClosing };

struct Tag
{
    TagKind kind;
    QStringView name;
};

// Tags are rare and few: a line of UI text seldom holds more than a handful.
using Tags = QVarLengthArray<Tag, 16>;

// What one scan of a text finds that is compared as a count or a multiset.
struct Scan
{
    qsizetype accelerators = 0;
    qsizetype plurals = 0;
    quint64 width = 0;
    Tags tags;
};

// The marker numbers of both texts as one balance: the line's count up, the translation's
// down. Only the numbers met are ever set, so a text without markers costs nothing here.
struct MarkerBalance
{
    quint64 met[2] = {0, 0};
    qsizetype count[100];

    void add(int number, qsizetype delta)
    {
        quint64 &word = met[number >> 6];
        const quint64 bit = quint64(1) << (number & 63);
        if (!(word & bit)) {
            word |= bit;
            count[number] = 0;
        }
        count[number] += delta;
    }
    bool even() const
    {
        for (int w = 0; w < 2; ++w) {
            for (quint64 bits = met[w]; bits; bits &= bits - 1) {
                if (count[w * 64 + qCountTrailingZeroBits(bits)] != 0)
                    return false;
            }
        }
        return true;
    }
};

bool isSpace(char16_t c)
{
    return QChar::isSpace(c);
}

bool isAsciiLetter(char16_t c)
{
    return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Columns of one character beyond Latin-1's neighbourhood (from U+0300, where marks begin).
int wideCharacterWidth(char32_t c)
{
    const int type = u_charType(UChar32(c));
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR)
        return 0;
    const int east = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
    return east == U_EA_WIDE || east == U_EA_FULLWIDTH ? 2 : 1;
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

// '%', '&' and '<': the only ASCII characters that start anything, all below 64.
constexpr quint64 startsSomething = (quint64(1) << '%') | (quint64(1) << '&') | (quint64(1) << '<');

// One pass over the text: accelerators, markers (into the balance, counted by sign), plural
// markers, tags, and its width when measured.
void scan(QStringView text, qsizetype sign, bool measure, Scan &found, MarkerBalance &markers)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    // Every code unit counts one column; what differs is counted apart.
    qsizetype pairs = 0, zero = 0, wide = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 64) {
            if (!((startsSomething >> c) & 1))
                continue;
            if (c == u'&') {
                if (i + 1 < n) {
                    if (s[i + 1] == u'&')
                        ++i;
                    else if (!isSpace(s[i + 1]))
                        ++found.accelerators;
                }
            } else if (c == u'%') {
                qsizetype j = i + 1;
                if (j < n && s[j] == u'L')
                    ++j;
                if (j < n) {
                    if (isAsciiDigit(s[j])) {
                        int number = s[j] - u'0';
                        if (j + 1 < n && isAsciiDigit(s[j + 1]))
                            number = number * 10 + (s[j + 1] - u'0');
                        markers.add(number, sign);
                    } else if (s[j] == u'n') {
                        ++found.plurals;
                    }
                }
            } else {
                Tag tag;
                if (readTag(s, n, i, tag))
                    found.tags.append(tag);
            }
            continue;
        }
        if (c < 0x80 || !measure)
            continue;
        if (c < 0x300) {
            // Below the first marks every character takes one column but the soft hyphen, a
            // format character.
            zero += c == 0xad;
            continue;
        }
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            code = QChar::surrogateToUcs4(c, s[i + 1]);
            ++i;
            ++pairs;
        }
        const int width = wideCharacterWidth(code);
        zero += width == 0;
        wide += width == 2;
    }
    if (measure)
        found.width = quint64(n - pairs - zero) + quint64(wide);
}

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

enum class Ending : quint8 { None, FullStop, Question, Exclamation, Colon, Ellipsis };

// The class of the text's last character, its trailing white space already cut off.
Ending ending(QStringView text)
{
    if (text.isEmpty())
        return Ending::None;
    switch (text.back().unicode()) {
    case u'.':
        return text.endsWith(u"...") ? Ending::Ellipsis : Ending::FullStop;
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

bool tagLess(const Tag &a, const Tag &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
}

bool sameTags(Tags &a, Tags &b)
{
    if (a.size() != b.size())
        return false;
    std::sort(a.begin(), a.end(), tagLess);
    std::sort(b.begin(), b.end(), tagLess);
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].name.compare(b[i].name, Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

} // namespace

Problems checkTranslation(QStringView line, QStringView translation, const CheckLimits &limits)
{
    const bool growth = limits.maxGrowth.has_value();
    const bool measure = growth || limits.maxWidth.has_value();
    MarkerBalance markers;
    Scan source, target;
    scan(line, 1, growth, source, markers);
    scan(translation, -1, measure, target, markers);

    Problems problems;
    if (!markers.even() || source.plurals != target.plurals)
        problems |= Problem::Placeholders;
    if (source.accelerators != target.accelerators)
        problems |= Problem::Accelerator;
    const qsizetype lead = leadingSpace(line), trail = trailingSpace(line);
    const qsizetype targetLead = leadingSpace(translation);
    const qsizetype targetTrail = trailingSpace(translation);
    if (line.first(lead) != translation.first(targetLead) ||
        line.last(trail) != translation.last(targetTrail))
        problems |= Problem::Whitespace;
    if (ending(line.chopped(trail)) != ending(translation.chopped(targetTrail)))
        problems |= Problem::Punctuation;
    if (!sameTags(source.tags, target.tags))
        problems |= Problem::Markup;
    if (limits.maxWidth && target.width > *limits.maxWidth)
        problems |= Problem::Width;
    if (growth && exceedsGrowth(target.width, source.width, *limits.maxGrowth))
        problems |= Problem::Growth;
    return problems;
}

quint64 displayWidth(QStringView text)
{
    MarkerBalance markers;
    Scan found;
    scan(text, 1, true, found, markers);
    return found.width;
}

bool exceedsGrowth(quint64 translationWidth, quint64 lineWidth, quint64 percent)
{
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
