#include "findings.h"
#include "pass.h"
#include "share.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
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

// Every code unit comes back through a JSON parser; a lone surrogate keeps its escape.
TEST(Formats, JsonStringsKeepEveryCharacter)
{
    QString all;
    for (char16_t c = 0; c < 0x300; ++c)
        all += QChar(c);
    all += QStringLiteral(u"\u2028\U0001F600\uFFFF\"\\/");
    const QJsonDocument parsed = QJsonDocument::fromJson("[" + jsonString(all) + "]");
    ASSERT_TRUE(parsed.isArray());
    EXPECT_EQ(parsed.array().at(0).toString(), all);
    EXPECT_EQ(jsonString(QString(QChar(0xdc00)) + u'x'), "\"\\udc00x\"");
    EXPECT_EQ(QJsonDocument::fromJson("[" + jsonString(QStringLiteral(u"\uFEFFx")) + "]")
                  .array()
                  .at(0)
                  .toString(),
              QStringLiteral(u"\uFEFFx"));
}

TEST(Formats, CsvFieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(csvField(QStringLiteral("plain text; 'quoted'")), "plain text; 'quoted'");
    EXPECT_EQ(csvField(QStringLiteral("a,b")), "\"a,b\"");
    EXPECT_EQ(csvField(QStringLiteral("say \"hi\"")), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField(QStringLiteral("a\rb")), "\"a\rb\"");
}

// What the outputs were told, line by line.
class Recorder : public CoverageOutput
{
  public:
    void addLine(const LineOutcome &line) override
    {
        for (qsizetype language = 0; language < 2; ++language) {
            const Verdict &verdict = line.verdict(language);
            record += QString::number(line.number) + u' ' + line.text + u' ' +
                      QString::number(verdict.translated) + u' ' + verdict.answer + u' ' +
                      QString::number(verdict.answers.size()) + u'\n';
        }
    }
    void end(const CoverageTotals &totals) override { ended = totals.lines; }
    QString record;
    qint64 ended = -1;
};

// Threads and batch boundaries change nothing: the same lines, numbered alike, in order, with
// the same verdicts in every language.
TEST(Pass, ThreadsAndBatchesChangeNothing)
{
    std::vector<Language> languages;
    for (const char *language : {"de", "pt_BR"})
        languages.push_back({QString::fromLatin1(language),
                             std::make_unique<ZCatalogs>(TEST_CATALOG_DIR, language)});
    QByteArray input;
    for (int i = 0; i < 500; ++i)
        input += QByteArray("Hello\nZoo\n\nGr\xc3\xbc\xc3\x9f"
                            "e\nnope ") +
                 QByteArray::number(i) + (i % 7 ? QByteArray("\n") : QByteArray("\0x\n", 3));
    const CoverageHeader header{"dir", &languages, true, true};
    const auto run = [&](int threads, int batchLines) {
        QBuffer device(&input);
        device.open(QIODevice::ReadOnly);
        QTextStream stream(&device);
        Recorder recorder;
        PassOptions options{threads, batchLines};
        const CoverageTotals totals = runPass(stream, header, {&recorder}, options);
        EXPECT_EQ(recorder.ended, 2500);
        return std::make_pair(recorder.record, totals.translated);
    };
    const auto alone = run(0, 100000);
    for (const auto &[threads, batchLines] : {std::pair{2, 1}, {2, 7}, {1, 3}, {3, 1024}}) {
        const auto shared = run(threads, batchLines);
        EXPECT_EQ(shared.first, alone.first) << threads << " threads, batches of " << batchLines;
        EXPECT_EQ(shared.second, alone.second);
    }
    EXPECT_EQ(alone.second, (std::vector<qint64>{1500, 1000}));
}

} // namespace
