#include "pipe.h"
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
// whole character, or after a broken one that the next byte already cut short; never
// inside a character that may still be whole.
TEST(WholeCharacters, PiecesEndWhereNothingIsPending)
{
    EXPECT_EQ(endOf("Hello\n"), 6);
    EXPECT_EQ(endOf("caf\xc3\xa9"), 5);
    EXPECT_EQ(endOf("\xf0\x9f\x98\x80"), 4);
    EXPECT_EQ(endOf("ab\xc3"), 2);
    EXPECT_EQ(endOf("a\xe2\x82"), 1);
    EXPECT_EQ(endOf("a\xf0\x9f\x98"), 1);
    EXPECT_EQ(endOf("\xc3\xa9\xc3"), 2);
    EXPECT_EQ(endOf("a\x80\x80\x80\x80"), 5);
    EXPECT_EQ(endOf("ab\n\xe2\xe2"), 3);
    EXPECT_EQ(endOf("\xe2\xe2\xe2"), 0);
    EXPECT_EQ(endOf("\xe2\x82"), 0);
    EXPECT_EQ(endOf(""), 0);
}

// Bytes held back from one piece lead the next: none lost or repeated, whatever the sizes of
// the source's reads and of the reader's, and a piece that the text stream's reads get ends
// inside a character only at the end of the input. Nothing is read as the end before it.
TEST(WholeCharacters, ReadsEveryByteOnceInOrderAndPiecesEndWhole)
{
    const QByteArray input = QByteArray("Gr\xc3\xbc\xc3\x9f"
                                        "e \xe2\x82\xac \xf0\x9f\x98\x80 \xe2\x82\n\xc3\n")
                                 .repeated(50) +
                             "\xe2\x82";
    for (qint64 sourceSize : {1, 2, 3, 5, 16, 16384}) {
        for (qint64 readSize : {1, 2, 3, 4, 5, 7, 16, 1000, 16384}) {
            Pipe source(input, {sourceSize});
            WholeCharacters characters(source);
            QByteArray read;
            char piece[16384];
            qint64 got;
            while ((got = characters.read(piece, readSize)) > 0) {
                // A reader smaller than a character, or than the byte-order mark the first
                // piece must hold, gets them in parts; the text stream reads 16K at a time.
                if (readSize >= 16 && read.size() + got < input.size()) {
                    EXPECT_EQ(wholeCharactersEnd(piece, got), got)
                        << "source " << sourceSize << ", reads " << readSize << ", at "
                        << read.size() + got;
                }
                read.append(piece, got);
            }
            EXPECT_EQ(read, input) << "source " << sourceSize << ", reads " << readSize;
            EXPECT_TRUE(characters.atEnd());
        }
    }
}

// The text stream picks the encoding from the first piece alone: it must hold the whole
// byte-order mark even when the source gives a byte at a time.
TEST(WholeCharacters, TheFirstPieceHoldsTheByteOrderMark)
{
    Pipe source(QByteArray("\x00\x00\xfe\xff\x00\x00\x00H", 8), {1});
    WholeCharacters characters(source);
    char piece[16384];
    EXPECT_GE(characters.read(piece, sizeof piece), 4);
}

// A source may give a short line and then wait for more: a first line that cannot start a
// byte-order mark is handed on at once, not held until more arrives.
TEST(WholeCharacters, AShortFirstLineIsNotHeldBack)
{
    Pipe source(QByteArray("a\nb\n"), {2});
    WholeCharacters characters(source);
    char piece[16384];
    EXPECT_EQ(characters.read(piece, sizeof piece), 2);
    Pipe marked(QByteArray("\xff\xfe"
                           "a\0",
                           4),
                {2});
    WholeCharacters utf16(marked);
    EXPECT_EQ(utf16.read(piece, sizeof piece), {4}); // UTF-16 or UTF-32: only the next bytes tell
}

// A file is read as it always was: at once, and its last line whole.
TEST(WholeCharacters, ReadsAFile)
{
    QBuffer source;
    source.setData("Hello\n\xc3\xa9");
    source.open(QIODevice::ReadOnly);
    WholeCharacters characters(source);
    EXPECT_EQ(characters.readAll(), QByteArray("Hello\n\xc3\xa9"));
    EXPECT_TRUE(characters.atEnd());
}
