#include "table.h"
#include "writer.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QString row(qint64 found, const QString &line, const QString &translation)
{
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    Writer out(device);
    writeTableRow(out, found, line, line.toUtf8(), translation);
    out.finish();
    return QString::fromUtf8(device.data());
}

const QString separator = QStringLiteral("   |||   ");

} // namespace

TEST(PadField, NumbersFillSixColumnsAndAreNeverCut)
{
    EXPECT_EQ(padField(QStringLiteral("1"), true), QStringLiteral("     1"));
    EXPECT_EQ(padField(QStringLiteral("123456"), true), QStringLiteral("123456"));
    EXPECT_EQ(padField(QStringLiteral("1234567"), true), QStringLiteral("1234567"));
}

TEST(PadField, SourcesFill128CharactersNotBytes)
{
    EXPECT_EQ(padField(QString(), false), QString(128, u' '));
    const QString umlauts = QStringLiteral("äöü");
    EXPECT_EQ(padField(umlauts, false), umlauts + QString(125, u' '));
    const QString wide(130, u'x');
    EXPECT_EQ(padField(wide, false), wide);
}

TEST(TableRow, TranslationStartsAfter152Characters)
{
    EXPECT_EQ(row(3, QStringLiteral("Hello!"), QStringLiteral("Hallo!")),
              QStringLiteral("     3") + separator + QStringLiteral("Hello!") + QString(122, u' ') +
                  separator + QStringLiteral("Hallo!\n"));
}

TEST(TableRow, WideFieldsPushTheRestRightAndNothingIsEscaped)
{
    const QString wide(129, u'w');
    EXPECT_EQ(row(1234567, wide, QStringLiteral("a|||b\tc\nd")),
              QStringLiteral("1234567") + separator + wide + separator +
                  QStringLiteral("a|||b\tc\nd\n"));
}
