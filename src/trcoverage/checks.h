#ifndef TRCOVERAGE_CHECKS_H
#define TRCOVERAGE_CHECKS_H

// Whether a translation still works where its line did: each check compares the translation
// with its source line and names what it would break on the device.
//
// - placeholders: the multiset of marker numbers differs, or the number of plural markers.
//   A marker is what QString::arg replaces: '%', an optional 'L', then one or two ASCII digits
//   ("%123" is marker 12 and a '3'; "%01" is marker 1). Every '%' may start one, so "%%1"
//   holds marker 1. A plural marker is what tr() fills in with the count: "%n" or "%Ln",
//   counted together, as the two differ only in how the number is written. A '%' or "%L" at
//   the very end is text. Digits of other scripts ("%١") are text: Qt before 6.6 read them as
//   markers, later versions do not, so such a translation fails on newer devices.
// - accelerator: the number of accelerators differs: '&' followed by a character that is
//   neither '&' nor white space. "&&" is a literal ampersand and starts nothing; a '&' at the
//   very end is text.
// - whitespace: the leading or the trailing white space differs, compared as text.
// - punctuation: the class of the last character that is not white space differs: full stop
//   (. U+3002 U+FF61 U+0964 U+06D4), question (? U+FF1F U+061F), exclamation (! U+FF01), colon
//   (: U+FF1A), ellipsis (U+2026, or a text ending in "..."), or none.
// - markup: the multiset of tags differs, each tag taken as its kind and its name in small
//   letters. A tag is "<name>", "<name attributes>" (a self-closing one when '/' comes right
//   before its '>'), "<name/>" or "</name>" (white space allowed before the '>'). A name is an
//   ASCII letter followed by ASCII letters and digits; attributes start after white space and
//   run to the first '>'. A '<' that reaches another '<' or the end before its '>' starts no
//   tag, so "a < b" is text.
// - width: with a maximum width, the translation is wider than that many columns.
// - growth: with a maximum growth in percent, the translation's width times 100 is more than
//   the line's width times that percent. A line of width 0 allows no width at all.
//
// White space is what QChar::isSpace says: tab, line feed, vertical tab, form feed, carriage
// return, U+0085 and the separators (U+0020, U+00A0, U+3000, ...); zero-width characters are
// not white space.
//
// Every function here may be called from any thread at once. The answers depend on the
// arguments alone: the one state kept, ICU's answers for the characters met, is filled alike by
// whichever thread asks first. Nothing is allocated unless a text holds more than 8 tags.

#include <QFlags>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <optional>

enum class Problem : quint8 {
    Placeholders = 1 << 0,
    Accelerator = 1 << 1,
    Whitespace = 1 << 2,
    Punctuation = 1 << 3,
    Markup = 1 << 4,
    Width = 1 << 5,
    Growth = 1 << 6,
};
Q_DECLARE_FLAGS(Problems, Problem)
Q_DECLARE_OPERATORS_FOR_FLAGS(Problems)

struct ProblemName
{
    Problem problem;
    const char *name;
};
// Every problem with the name outputs give it, in the order outputs list them.
inline constexpr std::array<ProblemName, 7> problemNames{{
    {Problem::Placeholders, "placeholders"},
    {Problem::Accelerator, "accelerator"},
    {Problem::Whitespace, "whitespace"},
    {Problem::Punctuation, "punctuation"},
    {Problem::Markup, "markup"},
    {Problem::Width, "width"},
    {Problem::Growth, "growth"},
}};

// The limits the width and growth checks apply; without one, that check is not made.
struct CheckLimits
{
    std::optional<quint64> maxWidth;  // columns
    std::optional<quint64> maxGrowth; // percent of the line's width
};

// What the checks compare of one text, found in one pass over it. It refers to the text,
// which must outlive it. A source line's serve every translation of the line, so that the line
// is read once for all languages.
struct TextFacts
{
    enum class Ending : quint8 { None, FullStop, Question, Exclamation, Colon, Ellipsis };
    enum class TagKind : quint8 { Open, Close, SelfClosing };
    struct Tag
    {
        TagKind kind;
        QStringView name;
    };

    qsizetype accelerators = 0;
    qsizetype plurals = 0;
    // Which marker numbers the text holds, a bit each, and how often.
    quint64 markersHeld[2] = {0, 0};
    qsizetype markerCount[100] = {};
    QVarLengthArray<Tag, 8> tags; // in the text's order
    QStringView leadingSpace, trailingSpace;
    Ending ending = Ending::None;
    QStringView text;
    bool measured = false;
    quint64 width = 0; // when measured
};

// The facts of a source line that its translations are checked against under these limits:
// its width only for a growth limit, as measuring costs the most.
TextFacts lineFacts(QStringView line, const CheckLimits &limits);

// What the translation breaks of the line whose facts lineFacts found (under other limits, the
// line is measured again for a growth limit).
Problems checkTranslation(const TextFacts &line, QStringView translation,
                          const CheckLimits &limits);
// The same for a line met once.
Problems checkTranslation(QStringView line, QStringView translation, const CheckLimits &limits);

// Columns a terminal gives the text: 2 for an East Asian Wide or Fullwidth character, 0 for a
// nonspacing or enclosing mark or a format character (general categories Mn, Me, Cf; a mark
// that is also wide, such as U+3099, takes none), 1 for any other, a control character
// included. A surrogate pair is one character; a lone surrogate takes 1, as the replacement
// character shown for it does.
quint64 displayWidth(QStringView text);

// Whether translationWidth * 100 > lineWidth * percent, exactly, for any values.
bool exceedsGrowth(quint64 translationWidth, quint64 lineWidth, quint64 percent);

#endif
