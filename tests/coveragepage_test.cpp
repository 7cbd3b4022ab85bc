#include "page.h"
#include "writer.h"

#include <QIODevice>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

// Takes the first budget bytes, then fails every write, as a full disk does.
class FillingDevice : public QIODevice
{
  public:
    explicit FillingDevice(qint64 budget) : budget(budget) { open(QIODevice::WriteOnly); }
    qint64 written = 0;
    int writesAfterFull = 0;

  protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (written >= budget) {
            ++writesAfterFull;
            return -1;
        }
        // A short write, as write(2) makes at the disk's end.
        const qint64 taken = std::min(size, budget - written);
        written += taken;
        return taken;
    }

  private:
    qint64 budget;
};

// Feeds lines enough for several compressed chunks.
bool writePage(QIODevice &device, int lines)
{
    Writer out(device);
    CoveragePage page(out, "Strings.txt",
                      QDateTime::fromString(QStringLiteral("2025-01-01T00:00:00Z"), Qt::ISODate));
    page.begin({"/catalogs", {{QStringLiteral("de"), nullptr}, {QStringLiteral("fr"), nullptr}}});
    Outcome outcomes[2];
    PassTotals totals;
    totals.translated.assign(2, 0);
    totals.same.assign(2, 0);
    totals.problems.assign(2, 0);
    for (int i = 1; i <= lines; ++i) {
        const QString text = QStringLiteral("Line %1 of the strings file, %2").arg(i).arg(i * 7919);
        outcomes[0].translated = i % 3 != 0;
        outcomes[0].answer = text + QStringLiteral(" auf Deutsch");
        outcomes[0].differs = i % 5 == 0;
        outcomes[1].translated = i % 2 == 0;
        outcomes[1].answer = text + QStringLiteral(" en français");
        page.addLine({i, text, {}, nullptr, outcomes, 1});
        totals.translated[0] += outcomes[0].translated;
        totals.translated[1] += outcomes[1].translated;
    }
    totals.lines = lines;
    page.end(totals);
    return out.finish();
}

} // namespace

// A page cut short by a full disk is reported as not written, wherever the disk fills: in the
// head, in the lines, in the script at the end; and once full, the page stops writing.
TEST(CoveragePage, FullDiskIsReported)
{
    FillingDevice unlimited(std::numeric_limits<qint64>::max());
    ASSERT_TRUE(writePage(unlimited, 60000));
    const qint64 whole = unlimited.written;
    for (const qint64 budget : {qint64(0), qint64(100), whole / 2, whole - 1}) {
        FillingDevice device(budget);
        EXPECT_FALSE(writePage(device, 60000)) << "budget " << budget << " of " << whole;
        EXPECT_LE(device.writesAfterFull, 1) << "budget " << budget;
    }
    FillingDevice exact(whole);
    EXPECT_TRUE(writePage(exact, 60000));
}

// A line and a translation far longer than the page shows are cut, escaped characters and all:
// the page holds their first characters and their lengths, not the texts.
TEST(CoveragePage, LongTextsAreCut)
{
    FillingDevice device(std::numeric_limits<qint64>::max());
    Writer out(device);
    CoveragePage page(out, "Strings.txt",
                      QDateTime::fromString(QStringLiteral("2025-01-01T00:00:00Z"), Qt::ISODate));
    page.begin({"/catalogs", {{QStringLiteral("de"), nullptr}}});
    // Letters, markup and a character of two bytes in no order, so that it compresses poorly.
    QString line(4000000, u' ');
    quint32 random = 1;
    for (QChar &c : line) {
        random = random * 1103515245 + 12345;
        const int pick = int(random >> 16) % 28;
        c = pick < 26 ? QChar(u'a' + pick) : pick == 26 ? u'<' : u'\u00e9';
    }
    Outcome outcome;
    outcome.translated = true;
    outcome.answer = line + QStringLiteral("!");
    page.addLine({1, line, {}, nullptr, &outcome, 1});
    PassTotals totals;
    totals.lines = 1;
    totals.translated = {1};
    totals.same = {0};
    totals.problems = {0};
    page.end(totals);
    ASSERT_TRUE(out.finish());
    EXPECT_LT(device.written, 64 * 1024);
}
