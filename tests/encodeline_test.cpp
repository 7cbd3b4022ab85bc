#include "encodeline.h"

#include <QString>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Both forms, made in buffers of exactly the documented size, so that a sanitizer build
// catches a write past them.
struct Forms
{
    bool valid;
    QByteArray latin1, key;
};

Forms encoded(const QString &line)
{
    std::vector<char> latin1(size_t(line.size())), key(size_t(3 * line.size() + 1));
    const bool valid = encodeLine(line, latin1.data(), key.data());
    return {valid, QByteArray(latin1.data(), qsizetype(latin1.size())), QByteArray(key.data())};
}

// What the toolkit's own conversions make of the line, which the one-pass forms must equal.
void expectToolkitForms(const QString &line)
{
    SCOPED_TRACE(line.toUtf8().toHex(' ').toStdString());
    const Forms forms = encoded(line);
    const bool lookupable = !line.contains(QChar(u'\0')) && line.isValidUtf16();
    EXPECT_EQ(forms.valid, lookupable);
    EXPECT_EQ(forms.latin1, line.toLatin1());
    if (lookupable) {
        EXPECT_EQ(forms.key, line.toUtf8());
    }
}

} // namespace

// The forms are made a block of ASCII at a time: whatever breaks the block (a NUL, a
// character beyond ASCII, a surrogate pair, a lone surrogate) must be handled at every
// position within a block, across block boundaries, and in the short tail.
TEST(EncodeLine, MatchesTheToolkitsConversionsAtEveryPosition)
{
    const QString breakers[] = {
        QStringLiteral("\u00e9"),         // Latin-1, two UTF-8 bytes
        QStringLiteral("\u010d"),         // beyond Latin-1, two UTF-8 bytes
        QStringLiteral("\u20ac"),         // three UTF-8 bytes
        QStringLiteral("\U0001F600"),     // a surrogate pair, four UTF-8 bytes
        QString(QChar(u'\0')),            // NUL
        QString(QChar(char16_t(0xd800))), // a lone high surrogate
        QString(QChar(char16_t(0xdc00))), // a lone low surrogate
        // a lone high surrogate before a unit above the low surrogates, which it cannot pair with
        QString(QChar(char16_t(0xd800))) + QChar(char16_t(0xe000)),
        QStringLiteral("\u007f"),         // the last ASCII character
        QStringLiteral("\u0080"),         // the first beyond it
        QStringLiteral("\u00ff"),         // the last in Latin-1
        QStringLiteral("\u0100"),         // the first beyond it
        QStringLiteral("\u07ff"),         // the last of two UTF-8 bytes
        QStringLiteral("\u0800"),         // the first of three
        QString(QChar(char16_t(0xffff))), // the last of three
        QStringLiteral("\U00010000"),     // the first of four
    };
    for (int length = 0; length <= 40; ++length) {
        const QString ascii(length, u'a');
        expectToolkitForms(ascii);
        for (const QString &breaker : breakers)
            for (int at = 0; at <= length; ++at)
                expectToolkitForms(QString(ascii).insert(at, breaker));
    }
}

TEST(EncodeLine, SurrogatesPairOnlyInOrder)
{
    const QChar high(char16_t(0xd83d)), low(char16_t(0xde00));
    expectToolkitForms(QString(15, u'a') + high + low + QString(16, u'b'));
    expectToolkitForms(QString(15, u'a') + low + high + QString(16, u'b'));
    expectToolkitForms(QString(16, u'a') + high);
    expectToolkitForms(QString() + high + high + low);
    expectToolkitForms(QString() + high + low + low);
}

TEST(EncodeLine, TheKeyEndsAtItsNulAndALongLineIsWhole)
{
    QString line;
    for (int i = 0; i < 5000; ++i)
        line += QStringLiteral("Grüße, 世界 \U0001F600 ");
    expectToolkitForms(line);
    EXPECT_EQ(encoded(QStringLiteral("abc")).key.size(), 3);
}
