#include "checks.h"

#include <QString>
#include <gtest/gtest.h>

#include <unicode/uchar.h>

#include <string>

namespace {

// The problems by name, as outputs list them: "" for none.
std::string names(Problems problems)
{
    std::string text;
    for (const ProblemName &entry : problemNames) {
        if (problems & entry.problem)
            text += (text.empty() ? "" : ",") + std::string(entry.name);
    }
    return text;
}

std::string problemsOf(QStringView line, QStringView translation, CheckLimits limits = {})
{
    return names(checkTranslation(line, translation, limits));
}

#define EXPECT_PROBLEMS(line, translation, expected)                                               \
    EXPECT_EQ(problemsOf(line, translation), expected)                                             \
        << QStringView(line).toString().toStdString() << " -> "                                    \
        << QStringView(translation).toString().toStdString()

} // namespace

// The names are what every output prints and what scripts match on.
TEST(Checks, NamesEveryProblemOnceInOutputOrder)
{
    Problems all;
    for (const ProblemName &entry : problemNames) {
        EXPECT_FALSE(all & entry.problem) << entry.name;
        all |= entry.problem;
    }
    EXPECT_EQ(names(all), "placeholders,accelerator,whitespace,punctuation,markup,width,growth");
}

// Markers as QString::arg reads them: one or two digits, with or without L, compared as a
// multiset, apart from the plural markers of tr().
TEST(Checks, PlaceholdersAreReadAsArgReadsThem)
{
    EXPECT_PROBLEMS(u"Copy %1 to %2", u"%2 nach %1 kopieren", "");
    EXPECT_PROBLEMS(u"Copy %1 to %2", u"%1 kopieren", "placeholders");
    EXPECT_PROBLEMS(u"%1 and %1", u"%1", "placeholders");
    EXPECT_PROBLEMS(u"%1 and %1", u"%1 und %2", "placeholders");
    // Two digits at most: %12 is not %1 and %2, and %123 is %12 followed by a 3.
    EXPECT_PROBLEMS(u"%12", u"%1%2", "placeholders");
    EXPECT_PROBLEMS(u"%123", u"%12 3", "");
    EXPECT_PROBLEMS(u"%01", u"%1", "");
    EXPECT_PROBLEMS(u"%L1 items", u"%1 Elemente", "");
    EXPECT_PROBLEMS(u"%L1 items", u"L1 Elemente", "placeholders");
    // Any '%' may start one: "%%1" holds marker 1; a '%' at the end is text.
    EXPECT_PROBLEMS(u"%%1", u"%1", "");
    EXPECT_PROBLEMS(u"100%", u"100 %L", "");
    // Digits of another script are text to Qt 6.6 and later.
    EXPECT_PROBLEMS(u"%1 files", u"%\u0661 ملفات", "placeholders");
    // %n and %Ln count alike, apart from numbered markers.
    EXPECT_PROBLEMS(u"%n files", u"%Ln Dateien", "");
    EXPECT_PROBLEMS(u"%Ln files", u"Ln Dateien", "placeholders");
    EXPECT_PROBLEMS(u"%n files", u"%1 Dateien", "placeholders");
    EXPECT_PROBLEMS(u"%n of %n", u"%n", "placeholders");
}

TEST(Checks, AcceleratorsAreCountedWithoutLiteralAmpersands)
{
    EXPECT_PROBLEMS(u"&File", u"&Datei", "");
    EXPECT_PROBLEMS(u"&File", u"Datei", "accelerator");
    EXPECT_PROBLEMS(u"Fish && Chips", u"Fisch && Pommes", "");
    EXPECT_PROBLEMS(u"&&File", u"&Datei", "accelerator");
    EXPECT_PROBLEMS(u"A&&&B", u"&AB", "");
    // Before white space or at the end, '&' is text.
    EXPECT_PROBLEMS(u"Fish & Chips", u"Fisch und Pommes &", "");
    EXPECT_PROBLEMS(u"Save\u00a0&\u3000as", u"Save as", "");
}

TEST(Checks, WhitespaceIsComparedAsText)
{
    EXPECT_PROBLEMS(u"  Name", u"  Nom", "");
    EXPECT_PROBLEMS(u"  Name", u" Nom", "whitespace");
    EXPECT_PROBLEMS(u"Name:\t", u"Nom :", "whitespace");
    // As text, not as a count: a no-break space is not a space.
    EXPECT_PROBLEMS(u"Name ", u"Nom\u00a0", "whitespace");
    EXPECT_PROBLEMS(u"\u3000x\n", u"\u3000y\n", "");
    // A zero-width space is no white space, so it neither matches nor counts.
    EXPECT_PROBLEMS(u"x ", u"y\u200b ", "");
    EXPECT_PROBLEMS(u"   ", u"   ", "");
    EXPECT_PROBLEMS(u"", u" ", "whitespace");
}

TEST(Checks, PunctuationIsComparedByClass)
{
    EXPECT_PROBLEMS(u"Saved.", u"保存しました。", "");
    EXPECT_PROBLEMS(u"Saved.", u"ｾｰﾌﾞ｡", "");
    EXPECT_PROBLEMS(u"Delete?", u"削除しますか？", "");
    EXPECT_PROBLEMS(u"Delete?", u"حذف؟", "");
    EXPECT_PROBLEMS(u"Done!", u"完了！", "");
    EXPECT_PROBLEMS(u"Name:", u"名前：", "");
    EXPECT_PROBLEMS(u"Saved.", u"सहेजा गया।", "");
    EXPECT_PROBLEMS(u"Saved.", u"محفوظ ہو گیا۔", "");
    EXPECT_PROBLEMS(u"Done!", u"Fertig", "punctuation");
    EXPECT_PROBLEMS(u"Done!", u"Fertig.", "punctuation");
    // Three dots are an ellipsis, two a full stop; trailing white space does not count.
    EXPECT_PROBLEMS(u"Loading...", u"Chargement…", "");
    EXPECT_PROBLEMS(u"Loading... ", u"Chargement… ", "");
    EXPECT_PROBLEMS(u"Loading...", u"Laden.", "punctuation");
    EXPECT_PROBLEMS(u"Wait..", u"Warte.", "");
    EXPECT_PROBLEMS(u"Open", u"Öffnen", "");
}

TEST(Checks, MarkupIsComparedByKindAndName)
{
    EXPECT_PROBLEMS(u"<b>Bold</b> text", u"<B>Fetter</B> Text", "");
    EXPECT_PROBLEMS(u"<b>x</b><i>y</i>", u"<i>y</i><b>x</b>", "");
    EXPECT_PROBLEMS(u"<a href=\"x\">y</a>", u"<a title='t' href=\"z\">w</a >", "");
    EXPECT_PROBLEMS(u"<b>x</b>", u"<b>x<b>", "markup");
    EXPECT_PROBLEMS(u"<b>x</b>", u"<b>x</b><br/>", "markup");
    EXPECT_PROBLEMS(u"<b>x</b>", u"<i>x</i>", "markup");
    EXPECT_PROBLEMS(u"<h1>x</h1>", u"<h2>x</h2>", "markup");
    // Self-closing is a kind of its own, with or without attributes.
    EXPECT_PROBLEMS(u"a<br/>b", u"a<br />b", "");
    EXPECT_PROBLEMS(u"a<br/>b", u"a<br>b", "markup");
    // Not tags: comparisons, a '<' before a digit or a space, one left unclosed.
    EXPECT_PROBLEMS(u"a < b > c", u"a<b", "");
    EXPECT_PROBLEMS(u"<1> < b>", u"", "");
    EXPECT_PROBLEMS(u"x <b y <i>z</i>", u"<i>z</i>", "");
    EXPECT_PROBLEMS(u"Size <b bold", u"Größe", "");
    EXPECT_PROBLEMS(u"</b x>", u"", "");
}

// Past the tags a text holds without allocating: the same multiset in another order, and one
// tag fewer.
TEST(Checks, ManyTagsAreComparedWhole)
{
    QString line, reordered;
    for (int i = 0; i < 40; ++i) {
        line += QStringLiteral("<t%1>").arg(i);
        reordered.prepend(QStringLiteral("<T%1>").arg(i));
    }
    EXPECT_PROBLEMS(line, reordered, "");
    EXPECT_PROBLEMS(line, QString(reordered).remove(QStringLiteral("<T17>")), "markup");
    EXPECT_PROBLEMS(line,
                    QString(reordered).replace(QStringLiteral("<T17>"), QStringLiteral("<T18>")),
                    "markup");
}

// Whatever comes before it, and wherever it falls among the units looked at together, a '%',
// '&' or '<' is seen, and so is a wide character when measured.
TEST(Checks, EverythingIsFoundWhereverItIs)
{
    for (int before = 0; before < 20; ++before) {
        for (int after = 0; after < 12; ++after) {
            const QString pad = QString(before, u'x'), tail = QString(after, u'y');
            const QString line = pad + QStringLiteral("a") + tail;
            EXPECT_EQ(problemsOf(line, pad + QStringLiteral("&a") + tail), "accelerator")
                << before << after;
            EXPECT_EQ(problemsOf(line, pad + QStringLiteral("%1") + tail), "placeholders")
                << before << after;
            EXPECT_EQ(problemsOf(line, pad + QStringLiteral("<b>") + tail), "markup")
                << before << after;
            EXPECT_EQ(displayWidth(QString(pad + QStringLiteral("日") + tail)),
                      quint64(before + after + 2));
        }
    }
}

// Columns, not code units: wide and fullwidth characters take two, marks and format
// characters none, a surrogate pair is one character.
TEST(Checks, DisplayWidthCountsColumns)
{
    EXPECT_EQ(displayWidth(u""), 0u);
    EXPECT_EQ(displayWidth(u"Save\t"), 5u);
    EXPECT_EQ(displayWidth(u"日本語"), 6u);
    EXPECT_EQ(displayWidth(u"Ａｂ"), 4u);
    EXPECT_EQ(displayWidth(u"ｶﾀｶﾅ"), 4u);
    EXPECT_EQ(displayWidth(u"e\u0301\u20dd"), 1u);
    EXPECT_EQ(displayWidth(u"soft\u00adhyphen\u200d"), 10u);
    // A wide mark is a mark: it takes no column.
    EXPECT_EQ(displayWidth(u"か\u3099"), 2u);
    // Beyond the first plane: one narrow column, two wide, none for a tag or a mark.
    EXPECT_EQ(displayWidth(u"\U0001D400"), 1u);
    EXPECT_EQ(displayWidth(u"\U00020000\U0001F600"), 4u);
    EXPECT_EQ(displayWidth(u"\U000E0001\U0001D167"), 0u);
    // A lone surrogate is one column, wherever it is.
    const char16_t lone[] = {0xd800, u'x', 0xdc00, 0xd83d, 0xd83d, 0xde00, 0xd800};
    EXPECT_EQ(displayWidth(QStringView(lone, 7)), 7u);
}

// The definition, asked of ICU for every character of the first plane: the shortcut for the
// characters before the first marks must not differ from it.
TEST(Checks, DisplayWidthFollowsIcuForEveryCharacter)
{
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const int type = u_charType(UChar32(c));
        const int east = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
        const quint64 expected =
            type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR ? 0
            : east == U_EA_WIDE || east == U_EA_FULLWIDTH                                   ? 2
                                                                                            : 1;
        const char16_t unit = char16_t(c);
        ASSERT_EQ(displayWidth(QStringView(&unit, 1)), expected) << std::hex << quint32(c);
    }
}

TEST(Checks, WidthIsCheckedOnlyWithALimit)
{
    const CheckLimits four{4, std::nullopt};
    EXPECT_EQ(problemsOf(u"Open", u"日本", four), "");
    EXPECT_EQ(problemsOf(u"Open", u"日本語", four), "width");
    EXPECT_EQ(problemsOf(u"Open", u"O\u0308ffn", four), "");
    EXPECT_EQ(problemsOf(u"Open", u"Öffnen"), "");
}

// Growth compares widths, exactly at the boundary; a line of no width allows none.
TEST(Checks, GrowthIsExactAtTheBoundary)
{
    const CheckLimits grow180{std::nullopt, 180};
    EXPECT_EQ(problemsOf(u"0123456789", QString(18, u'x'), grow180), "");
    EXPECT_EQ(problemsOf(u"0123456789", QString(19, u'x'), grow180), "growth");
    EXPECT_EQ(problemsOf(u"Save", u"保存する", {std::nullopt, 200}), "");
    EXPECT_EQ(problemsOf(u"Save", u"保存する", {std::nullopt, 199}), "growth");
    EXPECT_EQ(problemsOf(u"", u"x", grow180), "growth");
    EXPECT_EQ(problemsOf(u"\u0301", u"\u200b", grow180), "");
    EXPECT_EQ(problemsOf(u"abc", u"abcdef", {5, 150}), "width,growth");

    // Products past 2^64 on either side.
    const quint64 big = quint64(1) << 62;
    EXPECT_TRUE(exceedsGrowth(big, big, 99));
    EXPECT_FALSE(exceedsGrowth(big, big, 100));
    EXPECT_FALSE(exceedsGrowth(~quint64(0), quint64(1) << 40, quint64(1) << 32));
    const quint64 line = 100 * (quint64(1) << 55);
    EXPECT_FALSE(exceedsGrowth(180 * (quint64(1) << 55), line, 180));
    EXPECT_TRUE(exceedsGrowth(180 * (quint64(1) << 55) + 1, line, 180));
    EXPECT_FALSE(exceedsGrowth(0, 0, 0));
    EXPECT_TRUE(exceedsGrowth(1, 0, ~quint64(0)));
    // floor((2^64 - 1) * 99 / 100)
    const quint64 most = ~quint64(0), limit = 18262276632972456098u;
    EXPECT_FALSE(exceedsGrowth(limit, most, 99));
    EXPECT_TRUE(exceedsGrowth(limit + 1, most, 99));
}

// A line's facts are found once and serve every language's translation: what one translation
// finds (its tags out of order and sorted to compare, its width) must not change what the next
// is held to.
TEST(Checks, LineFactsServeEveryTranslation)
{
    const CheckLimits limits{40, 150};
    const TextFacts facts = lineFacts(u"<b>%1</b> of <i>%2</i> &files...", limits);
    const auto check = [&](QStringView translation) {
        return names(checkTranslation(facts, translation, limits));
    };
    EXPECT_EQ(check(u"<i>%2</i> von <b>%1</b> &Dateien…"), "");
    EXPECT_EQ(check(u"<b>%1</b> of %2"), "accelerator,punctuation,markup");
    EXPECT_EQ(check(u"<I>%2</I>の<B>%1</B>&ファイルファイルファイルル..."), "width,growth");
    EXPECT_EQ(check(u"<b>%1</b> de <i>%2</i> &fichiers..."), "");
    // Facts found without a growth limit still serve one: the line is measured then.
    const CheckLimits growth{std::nullopt, 100};
    EXPECT_EQ(names(checkTranslation(lineFacts(u"Save as", {}), u"Sichern", growth)), "");
    EXPECT_EQ(names(checkTranslation(lineFacts(u"Save as", {}), u"Speichern", growth)), "growth");
}
