#include "jsonstring.h"
#include "share.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// A share shown as 100.0% must mean every line: cut, never rounded up, also past 2^53 lines.
TEST(Share, IsCutToTenths)
{
    EXPECT_EQ(shareTenths(9999, 10000), 999);
    EXPECT_EQ(shareTenths(2, 3), 666);
    EXPECT_EQ(shareTenths(1, 3000), 0);
    EXPECT_EQ(shareTenths(5, 5), 1000);
    EXPECT_EQ(shareTenths(0, 0), 1000);
    const qint64 many = qint64(1) << 62;
    EXPECT_EQ(shareTenths(many - 1, many), 999);
    EXPECT_EQ(shareText(2, 3), "66.6");
    EXPECT_EQ(shareText(0, 7), "0.0");
}

TEST(Share, ReadsThresholdsFrom0To100Only)
{
    const QString thousand = QString(1000, u'6');
    for (const QString &good :
         {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("100.000"),
          QStringLiteral("66.7"), QStringLiteral("007.50"), QStringLiteral(".5"),
          QStringLiteral("5."), QStringLiteral("66.6666666667"),
          QStringLiteral("00000000000000000000000000000100"), "66." + thousand,
          "100." + QString(1000, u'0')})
        EXPECT_TRUE(parsePercent(good)) << good.left(40).toStdString();
    for (const QString &bad :
         {QStringLiteral(""), QStringLiteral("."), QStringLiteral("100.01"), QStringLiteral("101"),
          QStringLiteral("-1"), QStringLiteral("+5"), QStringLiteral("1e2"), QStringLiteral(" 5"),
          QStringLiteral("5%"), QStringLiteral("1.2.3"), QStringLiteral("nan"),
          QStringLiteral("0x10"), QStringLiteral("\u0665"), QStringLiteral("18446744073709551716"),
          "100." + QString(1000, u'0') + u'1'})
        EXPECT_FALSE(parsePercent(bad)) << bad.left(40).toStdString();
}

// Against exact integer arithmetic on small counts: a share shown as 66.7 may be below 66.7,
// and a float comparison gets the boundaries wrong.
TEST(Share, ComparesExactly)
{
    for (const char *text : {"0", "50", "66.6", "66.7", "66.666", "33.333333", "99.9", "100",
                             "0.00000001", "66.6666666667"}) {
        const QByteArray written(text);
        const qsizetype point = written.indexOf('.');
        quint64 scale = 100;
        for (qsizetype i = point < 0 ? written.size() : point + 1; i < written.size(); ++i)
            scale *= 10;
        const quint64 numerator = QByteArray(written).replace('.', "").toULongLong();
        const Percent percent = *parsePercent(QString::fromLatin1(text));
        for (qint64 lines = 1; lines <= 120; ++lines)
            for (qint64 translated = 0; translated <= lines; ++translated)
                ASSERT_EQ(isBelow(translated, lines, percent),
                          quint64(translated) * scale < numerator * quint64(lines))
                    << translated << " of " << lines << " below " << text;
    }
}

// Every decimal counts, however many, and no count of lines overflows: the shares here differ
// from the thresholds only past the 18th decimal, or the 1000th.
TEST(Share, ComparesExactlyPastAnyNumberOfDecimals)
{
    const auto below = [](qint64 translated, qint64 lines, const QString &threshold) {
        return isBelow(translated, lines, *parsePercent(threshold));
    };
    // 2 of 3 is 66.666..., forever.
    const QString sixes = "66." + QString(1000, u'6');
    EXPECT_FALSE(below(2, 3, sixes));
    EXPECT_TRUE(below(2, 3, sixes + u'7'));
    EXPECT_FALSE(below(2, 3, sixes + u'6'));
    // 2^62 - 1 of 2^62 ends after 62 decimals.
    const qint64 many = qint64(1) << 62;
    const QString exact =
        QStringLiteral("99.999999999999999978315956550289911319850943982601165771484375");
    EXPECT_FALSE(below(many - 1, many, exact));
    EXPECT_FALSE(below(many - 1, many, exact + QString(1000, u'0')));
    EXPECT_TRUE(below(many - 1, many, exact + QStringLiteral("0001")));
    EXPECT_TRUE(below(many - 1, many, QStringLiteral("100")));
    EXPECT_FALSE(below(many - 1, many, QStringLiteral("99.999999999")));
    // The most lines there can be, all but one translated.
    const qint64 most = std::numeric_limits<qint64>::max();
    EXPECT_FALSE(
        below(most - 1, most,
              QStringLiteral("99.999999999999999989157978275144955658749977640478295377646003")));
    EXPECT_TRUE(
        below(most - 1, most,
              QStringLiteral("99.999999999999999989157978275144955658749977640478295377646004")));
    EXPECT_FALSE(below(most, most, QStringLiteral("100")));
    EXPECT_FALSE(below(0, most, QStringLiteral("0")));
    EXPECT_TRUE(below(0, most, "0." + QString(1000, u'0') + u'1'));
    EXPECT_TRUE(below(1, most, QStringLiteral("0.00000000000000002")));
    EXPECT_FALSE(below(1, most, QStringLiteral("0.00000000000000001")));
}

QByteArray jsonString(QStringView text, JsonIn where)
{
    QByteArray out;
    appendJsonString(out, text, where);
    return out;
}

// Every code unit comes back through a JSON parser, in a document and in a page; a lone
// surrogate keeps its escape.
TEST(Formats, JsonStringsKeepEveryCharacter)
{
    QString all;
    for (char16_t c = 0; c < 0x300; ++c)
        all += QChar(c);
    all += QStringLiteral(u"\u2028\U0001F600\uFFFF\"\\/\uFEFFx\U0010FFFF");
    for (const JsonIn where : {JsonIn::document, JsonIn::page}) {
        const QJsonDocument parsed = QJsonDocument::fromJson("[" + jsonString(all, where) + "]");
        ASSERT_TRUE(parsed.isArray());
        EXPECT_EQ(parsed.array().at(0).toString(), all);
        EXPECT_EQ(jsonString(QString(QChar(0xdc00)) + u'x', where), "\"\\udc00x\"");
    }
    // In a page every noncharacter is escaped, not only U+FFFE: U+FFFF, U+FDD0, and those
    // beyond the BMP as their two surrogates.
    EXPECT_EQ(jsonString(QStringLiteral(u"\uFFFE\uFFFF\uFDD0\U0001FFFF\U0010FFFE"), JsonIn::page),
              "\"\\ufffe\\uffff\\ufdd0\\ud83f\\udfff\\udbff\\udffe\"");
}

} // namespace
