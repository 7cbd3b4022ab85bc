#include "lookup.h"
#include "pass.h"

#include <QBuffer>
#include <QTextStream>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace {

// A language whose components answer by a rule of their own, from the key alone: some lines
// not at all, some with the line itself, some with another text, some in two components that
// agree or differ.
class RuleLookup final : public Lookup
{
  public:
    explicit RuleLookup(uint seed) : seed(seed) {}

    QString translate(const char *key) const override
    {
        const QList<ComponentAnswer> found = answers(key);
        return found.isEmpty() ? QString() : found[0].text;
    }
    QList<ComponentAnswer> answers(const char *key) const override
    {
        const uint rule = qHash(QByteArrayView(key), seed) % 7;
        const QString line = QString::fromUtf8(key);
        switch (rule) {
        case 0:
            return {};
        case 1:
            return {{0, line}};
        case 2:
            return {{1, line + u'!'}};
        case 3:
            return {{0, line + u'?'}, {1, line + u'?'}};
        case 4:
            return {{0, line}, {1, line + u'.'}};
        default:
            return {{0, QString::number(rule) + line}};
        }
    }
    QStringList components() const override { return {QStringLiteral("a"), QStringLiteral("b")}; }

  private:
    const uint seed;
};

// A check that needs its line: whether the translation's length differs from the line's by
// an odd amount, and the line's length in the low bits.
class LengthCheck final : public TranslationCheck
{
  public:
    std::unique_ptr<Line> newLine() const override { return std::make_unique<Length>(); }
    void readLine(QStringView text, Line &line) const override
    {
        static_cast<Length &>(line).size = text.size();
    }
    quint8 check(const Line &line, QStringView translation) const override
    {
        const qsizetype size = static_cast<const Length &>(line).size;
        return quint8((size & 0x3f) << 1 | ((translation.size() - size) & 1));
    }

  private:
    struct Length : Line
    {
        qsizetype size = 0;
    };
};

// Everything the pass hands on, as text; a text by its length and hash, as lines are long.
class Record final : public Output
{
  public:
    OutputNeeds needs() const override { return {true, true}; }
    void addLine(const LineOutcome &line) override
    {
        text += QString::number(line.number) + u' ' + shown(line.text) + u'\n';
        for (qsizetype i = 0; i < languages; ++i) {
            const Outcome &o = line.outcome(i);
            text += QStringLiteral("%1%2%3%4 %5 ")
                        .arg(o.translated)
                        .arg(o.same)
                        .arg(o.differs)
                        .arg(o.problems)
                        .arg(shown(o.answer));
            for (const ComponentAnswer &answer : o.answers)
                text += QString::number(answer.component) + u'=' + shown(answer.text) + u' ';
            text += u'\n';
        }
    }
    void end(const PassTotals &totals) override
    {
        text += QString::number(totals.lines) + u'\n';
        for (qsizetype i = 0; i < languages; ++i)
            text += QStringLiteral("%1 %2 %3\n")
                        .arg(totals.translated[size_t(i)])
                        .arg(totals.same[size_t(i)])
                        .arg(totals.problems[size_t(i)]);
    }
    qsizetype languages = 0;
    QString text;

  private:
    static QString shown(const QString &text)
    {
        return QStringLiteral("%1:%2:%3").arg(text.isNull()).arg(text.size()).arg(qHash(text));
    }
};

QString run(const QByteArray &input, QThreadPool *pool, int batchLines)
{
    std::vector<std::unique_ptr<RuleLookup>> lookups;
    PassHeader header;
    for (uint seed = 1; seed <= 5; ++seed) {
        lookups.push_back(std::make_unique<RuleLookup>(seed));
        header.languages.push_back({QString::number(seed), lookups.back().get()});
    }
    QBuffer device;
    device.setData(input);
    device.open(QIODevice::ReadOnly);
    QTextStream stream(&device);
    Record record;
    record.languages = qsizetype(header.languages.size());
    const LengthCheck check;
    PassOptions options;
    options.pool = pool;
    options.batchLines = batchLines;
    options.check = &check;
    runPass(stream, header, {&record}, options);
    return record.text;
}

} // namespace

// Every line's outcome in every language, and the totals, whatever the batches and whether the
// languages are looked up by other threads while the next batch is read: lines long enough to
// end a batch early and to be let go from their slot, and batches of one line, of a few, of many.
TEST(Pass, TheSameWhateverTheBatchesAndThreads)
{
    QByteArray input;
    for (int i = 0; i < 4000; ++i) {
        input += "line " + QByteArray::number(i * 7919 % 1000);
        if (i % 997 == 0)
            input += QByteArray(300000 + i, char('a' + i % 26));
        input += '\n';
    }
    const QString serial = run(input, nullptr, 1024);
    ASSERT_TRUE(serial.endsWith(u'\n'));
    EXPECT_EQ(run(input, nullptr, 1), serial);
    QThreadPool pool;
    for (int threads : {1, 2, 5}) {
        pool.setMaxThreadCount(threads);
        for (int batch : {1, 3, 1024})
            EXPECT_EQ(run(input, &pool, batch), serial) << threads << " threads, " << batch;
    }
}
