#include "wholecharacters.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

qsizetype endOf(const QByteArray &piece)
{
    return wholeCharactersEnd(piece.constData(), piece.size());
}

} // namespace

// A piece may end only where the decoder has nothing pending: after an ASCII byte or a
// whole character, never inside one, and never just after a broken one.
TEST(WholeCharacters, PiecesEndWhereNothingIsPending)
{
    EXPECT_EQ(endOf("Hello\n"), 6);
    EXPECT_EQ(endOf("caf\xc3\xa9"), 5);
    EXPECT_EQ(endOf("\xf0\x9f\x98\x80"), 4);
    EXPECT_EQ(endOf("ab\xc3"), 2);
    EXPECT_EQ(endOf("a\xe2\x82"), 1);
    EXPECT_EQ(endOf("a\xf0\x9f\x98"), 1);
    EXPECT_EQ(endOf("\xc3\xa9\xc3"), 2);
    // Stray continuation bytes leave nothing pending.
    EXPECT_EQ(endOf("a\x80\x80\x80\x80"), 5);
    // A broken character before the unfinished one: back to the last ASCII byte.
    EXPECT_EQ(endOf("ab\n\xe2\xe2"), 3);
    EXPECT_EQ(endOf("ab\n\xf0\x9f\xc3"), 3);
    // Nothing but broken characters: before the last, so that no line feed is dropped.
    EXPECT_EQ(endOf("\xe2\xe2\xe2"), 2);
    // Nothing to cut before.
    EXPECT_EQ(endOf("\xe2\x82"), 2);
}

// Bytes held back from one piece lead the next: none lost or repeated, whatever the size
// of the reads, and the end of the input is handed over whole.
TEST(WholeCharacters, ReadsEveryByteOnceInOrder)
{
    const QByteArray input = QByteArray("Gr\xc3\xbc\xc3\x9f"
                                        "e \xe2\x82\xac \xf0\x9f\x98\x80 \xe2\x82\n")
                                 .repeated(50) +
                             "\xe2\x82";
    for (qint64 readSize : {1, 2, 3, 4, 5, 7, 16, 1000}) {
        QBuffer source;
        source.setData(input);
        source.open(QIODevice::ReadOnly);
        WholeCharacters characters(source);
        QByteArray read;
        char piece[1000];
        qint64 got;
        while ((got = characters.read(piece, readSize)) > 0)
            read.append(piece, got);
        EXPECT_EQ(read, input) << "reads of " << readSize;
        EXPECT_TRUE(characters.atEnd());
    }
}
