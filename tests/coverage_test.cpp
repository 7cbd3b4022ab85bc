#include "jsonstring.h"
#include "share.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <cstdint>

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
    for (const char *good : {"0", "100", "100.000", "66.7", "007.50", ".5", "5.", "99.123456789"})
        EXPECT_TRUE(parsePercent(QString::fromLatin1(good))) << good;
    for (const char *bad : {"", ".", "100.01", "101", "-1", "+5", "1e2", " 5", "5%", "1.2.3", "nan",
                            "99.1234567891", "0x10"})
        EXPECT_FALSE(parsePercent(QString::fromLatin1(bad))) << bad;
}

// Against exact integer arithmetic on small counts: a share shown as 66.7 may be below 66.7,
// and a float comparison gets the boundaries wrong.
TEST(Share, ComparesExactly)
{
    for (const char *text : {"0", "50", "66.6", "66.7", "66.666", "33.333333", "99.9", "100"}) {
        const Percent percent = *parsePercent(QString::fromLatin1(text));
        quint64 scale = 100;
        for (int i = 0; i < percent.decimals; ++i)
            scale *= 10;
        for (qint64 lines = 1; lines <= 120; ++lines)
            for (qint64 translated = 0; translated <= lines; ++translated)
                ASSERT_EQ(isBelow(translated, lines, percent),
                          quint64(translated) * scale < percent.numerator * quint64(lines))
                    << translated << " of " << lines << " below " << text;
    }
    const qint64 many = qint64(1) << 62;
    EXPECT_TRUE(isBelow(many - 1, many, *parsePercent(u"100")));
    EXPECT_FALSE(isBelow(many - 1, many, *parsePercent(u"99.999999999")));
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
}

} // namespace
