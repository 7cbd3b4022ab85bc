#include "checkstrings.h"
#include "table.h"
#include "writer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTextStream>
#include <QTranslator>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A literal's bytes, NULs included.
template <qsizetype N> QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// The loop looks lines up in the catalogs installed in the application, as the platform
// installs them.
class CheckStrings : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "checkstrings_test";
        static char *argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
        catalog = std::make_unique<QTranslator>();
        ASSERT_TRUE(catalog->load(QStringLiteral(TEST_CATALOG_DIR "/app_de.qm")));
        QCoreApplication::installTranslator(catalog.get());
    }
    static void TearDownTestSuite()
    {
        catalog.reset();
        application.reset();
    }

    // Runs the loop on input; returns the report, and leaves the table in table.
    static QByteArray check(const QByteArray &input, QIODevice &table)
    {
        QBuffer device;
        device.setData(input);
        device.open(QIODevice::ReadOnly);
        QTextStream stream(&device);
        QBuffer report;
        report.open(QIODevice::WriteOnly);
        Writer rows(table), lines(report);
        checkStrings(stream, rows, lines);
        rows.finish();
        lines.finish();
        return report.data();
    }
    static QByteArray check(const QByteArray &input, QByteArray &table)
    {
        QBuffer device(&table);
        device.open(QIODevice::WriteOnly | QIODevice::Append);
        return check(input, device);
    }

    static inline std::unique_ptr<QCoreApplication> application;
    static inline std::unique_ptr<QTranslator> catalog;
};

// A device that refuses its first write and takes every later one, as a disk that was full
// for a moment.
class FullOnce : public QIODevice
{
  public:
    QByteArray written;

  protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (!refused) {
            refused = true;
            return -1;
        }
        written.append(data, size);
        return size;
    }

  private:
    bool refused = false;
};

} // namespace

// Rows are handed to the stream in pieces: none may be lost, repeated or reordered between
// pieces or after the last one, and the report numbers every line.
TEST_F(CheckStrings, EveryRowAndVerdictInOrderAcrossManyPieces)
{
    QByteArray input, expectedReport;
    QByteArray expectedTable;
    QBuffer expectedRows(&expectedTable);
    expectedRows.open(QIODevice::WriteOnly);
    Writer rows(expectedRows);
    for (int n = 1; n <= 3001; ++n) {
        const bool hello = n % 3 != 0;
        input += hello ? "Hello\n" : "nope\n";
        expectedReport += QStringLiteral("=> %1%2'%3'\n")
                              .arg(n, 6)
                              .arg(hello ? QStringLiteral("    OK: ") : QStringLiteral(" ERROR: "),
                                   hello ? QStringLiteral("Hello") : QStringLiteral("nope"))
                              .toLatin1();
        if (hello)
            writeTableRow(rows, n - n / 3, u"Hello", "Hello", u"Hallo");
    }
    rows.finish();
    QByteArray table;
    EXPECT_EQ(check(input, table), expectedReport);
    EXPECT_EQ(table, expectedTable);
}

// Once the table refuses a write, nothing more may reach it: a later row would stand where an
// earlier one is missing. The report still covers every line.
TEST_F(CheckStrings, AFailedTableIsGivenNoMoreRows)
{
    FullOnce device;
    device.open(QIODevice::WriteOnly);
    const QByteArray report = check(QByteArray("Hello\n").repeated(20000), device);
    EXPECT_EQ(report.count('\n'), 20000);
    EXPECT_TRUE(report.endsWith("=>  20000    OK: 'Hello'\n"));
    EXPECT_TRUE(device.written.isEmpty());
}

// The report carries the line whole, NULs and all, in Latin-1; a line that cannot be looked
// up, or that no catalog answers, is an error whatever the lookup gives.
TEST_F(CheckStrings, ReportLinesAreWholeAndUnlookableLinesAreErrors)
{
    QByteArray table;
    EXPECT_EQ(check(bytes("Hello\0x\nGr\xc3\xbc\xc3\x9f"
                          "e\n"),
                    table),
              bytes("=>      1 ERROR: 'Hello\0x'\n"
                    "=>      2    OK: 'Gr\xfc\xdf"
                    "e'\n"));
    EXPECT_EQ(table.count('\n'), 1);

    // The toolkit answers a key that no catalog holds with the key decoded again, which drops
    // a leading U+FEFF: that answer differs from the line and is still no translation.
    EXPECT_EQ(check(bytes("Radio\n\xef\xbb\xbfHello\n\xef\xbb\xbf\xef\xbb\xbfHello\n"), table),
              bytes("=>      1 ERROR: 'Radio'\n=>      2 ERROR: '?Hello'\n"
                    "=>      3 ERROR: '??Hello'\n"));

    // A lone surrogate reaches the loop only from UTF-16 input.
    EXPECT_EQ(check(bytes("\xff\xfeH\0e\0l\0l\0o\0\x00\xd8"), table),
              bytes("=>      1 ERROR: 'Hello?'\n"));
}
