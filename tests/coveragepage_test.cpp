#include "page.h"

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
    CoveragePage page(device);
    page.start("Strings.txt", "/catalogs", {QStringLiteral("de"), QStringLiteral("fr")},
               QDateTime::fromString(QStringLiteral("2025-01-01T00:00:00Z"), Qt::ISODate));
    QList<PageCell> cells(2);
    QList<PageTotal> totals(2);
    for (int i = 1; i <= lines; ++i) {
        const QString text = QStringLiteral("Line %1 of the strings file, %2").arg(i).arg(i * 7919);
        cells[0] = {i % 3 != 0, i % 5 == 0, text + QStringLiteral(" auf Deutsch")};
        cells[1] = {i % 2 == 0, false, text + QStringLiteral(" en français")};
        page.addLine(i, text, cells);
        ++(cells[0].translated ? totals[0].translated : totals[0].untranslated);
        ++(cells[1].translated ? totals[1].translated : totals[1].untranslated);
    }
    return page.finish(totals);
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
    CoveragePage page(device);
    page.start("Strings.txt", "/catalogs", {QStringLiteral("de")},
               QDateTime::fromString(QStringLiteral("2025-01-01T00:00:00Z"), Qt::ISODate));
    // Letters, markup and a character of two bytes in no order, so that it compresses poorly.
    QString line(4000000, u' ');
    quint32 random = 1;
    for (QChar &c : line) {
        random = random * 1103515245 + 12345;
        const int pick = int(random >> 16) % 28;
        c = pick < 26 ? QChar(u'a' + pick) : pick == 26 ? u'<' : u'\u00e9';
    }
    page.addLine(1, line, {{true, false, line + QStringLiteral("!")}});
    ASSERT_TRUE(page.finish({{1, 0}}));
    EXPECT_LT(device.written, 64 * 1024);
}
