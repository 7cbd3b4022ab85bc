#include "pipe.h"
#include "wholecharacters.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTextStream>
#include <gtest/gtest.h>

#include <vector>

namespace {

qsizetype endOf(const QByteArray &piece)
{
    return wholeCharactersEnd(piece.constData(), piece.size());
}

// Every piece a reader of source gives, each read into a buffer of exactly the size asked for:
// the text stream reads into one on its stack, which a larger piece would overrun, and a
// sanitizer build catches that here.
QByteArrayList piecesOf(QIODevice &source, qint64 readSize)
{
    WholeCharacters characters(source);
    QByteArrayList pieces;
    for (;;) {
        std::vector<char> piece(static_cast<size_t>(readSize));
        const qint64 got = characters.read(piece.data(), readSize);
        EXPECT_LE(got, readSize);
        if (got <= 0)
            break;
        pieces.append(QByteArray(piece.data(), qsizetype(got)));
    }
    EXPECT_TRUE(characters.atEnd());
    return pieces;
}

// The text the stream makes of pieces, decoding each in turn.
QString decodedInTurn(const QByteArrayList &pieces)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text;
    for (const QByteArray &piece : pieces)
        text += decoder.decode(piece);
    return text;
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
            QByteArray read;
            for (const QByteArray &piece : piecesOf(source, readSize)) {
                read += piece;
                // A reader smaller than a character, or than the byte-order mark the first
                // piece must hold, gets them in parts; the text stream reads 16K at a time.
                if (readSize >= 16 && read.size() < input.size()) {
                    EXPECT_EQ(endOf(piece), piece.size()) << "source " << sourceSize << ", reads "
                                                          << readSize << ", at " << read.size();
                }
            }
            EXPECT_EQ(read, input) << "source " << sourceSize << ", reads " << readSize;
        }
    }
}

// A run of broken characters has nowhere for a piece to end, yet the pieces decode in turn
// to the whole input's text: no broken character, and no line feed after one, is lost at a
// cut. The reader holds runs longer than two reads of the source, and than its buffer's
// first 64 KiB, within that buffer, however much a read asks for, and gives no more than
// asked.
TEST(WholeCharacters, LongRunsOfBrokenCharactersStayWithinBounds)
{
    const QByteArray input =
        "a\n" + QByteArray(70000, '\xf0') + "\nb\n" + QByteArray(40000, '\xe2') + "\xc3\xa9\n";
    const QString text = QStringDecoder(QStringConverter::Utf8).decode(input);
    for (qint64 sourceSize : {4093, 16384}) {
        for (qint64 readSize : {16384, 65536}) {
            Pipe source(input, {sourceSize});
            EXPECT_EQ(decodedInTurn(piecesOf(source, readSize)), text)
                << "source " << sourceSize << ", reads " << readSize;
        }
    }
}

// The text stream picks the encoding from the first piece alone: it must hold the whole
// byte-order mark however the source splits it. UTF-32LE's starts as UTF-16LE's does.
TEST(WholeCharacters, TheFirstPieceHoldsTheByteOrderMark)
{
    for (const QByteArray &input : {QByteArray("\x00\x00\xfe\xff\x00\x00\x00H", 8),
                                    QByteArray("\xff\xfe\x00\x00H\x00\x00\x00", 8)}) {
        for (qint64 sourceSize : {1, 2, 3}) {
            Pipe source(input, {sourceSize});
            WholeCharacters characters(source);
            EXPECT_EQ(QTextStream(&characters).readAll(), u"H")
                << input.toHex(' ').constData() << ", source " << sourceSize;
        }
    }
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
