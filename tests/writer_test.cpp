#include "writer.h"

#include <QBuffer>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// The text written both ways a writer writes text, one after the other.
QByteArray writtenBothWays(const QString &text)
{
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    Writer out(device);
    out << QStringView(text);
    out.streamed(text);
    EXPECT_TRUE(out.finish());
    return device.data();
}

} // namespace

// Every code unit, every kind of pair and every lone surrogate, written as text the way the
// toolkit makes each form: the formats as QString::toUtf8() does, the table as a text stream
// (whose rows end in a line feed, after which nothing is left pending).
TEST(Writer, WritesTextAsTheToolkitEncodesIt)
{
    QString text;
    for (char32_t c = 1; c < 0x10000; c += c < 0x1000 ? 1 : 7)
        text += QChar(char16_t(c));
    for (char32_t c : {0x10000u, 0x1f600u, 0x10ffffu})
        text += QString::fromUcs4(&c, 1);
    text += QChar(0xd800);
    text += u'x';
    text += QChar(0xdfff);
    text += QChar(0xdbff);
    text += u'\n';
    QStringEncoder stream(QStringConverter::Utf8);
    EXPECT_EQ(writtenBothWays(text), text.toUtf8() + QByteArray(stream(text)));
}

// A long text is written in parts, each encoded alone: a surrogate pair where a part would end
// must stay whole, in each form.
TEST(Writer, WritesLongTextsWithPairsWhole)
{
    for (qsizetype before : {pieceUnits - 2, pieceUnits - 1, pieceUnits, 2 * pieceUnits - 1}) {
        const QString text = QString(before, u'a') + QStringLiteral(u"\U0001F600") +
                             QString(pieceUnits, u'b') + QStringLiteral(u"\U0001F600\n");
        EXPECT_EQ(writtenBothWays(text), text.toUtf8() + text.toUtf8()) << before;
    }
}
