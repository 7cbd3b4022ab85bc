#include "pipe.h"
#include "wholecharacters.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTextStream>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

// The text the stream makes of pieces: the encoding picked by the first piece's byte-order
// mark alone, then each piece decoded in turn.
QString decodedInTurn(const QByteArrayList &pieces)
{
    QStringDecoder decoder(
        pieces.isEmpty()
            ? QStringConverter::Utf8
            : QStringConverter::encodingForData(pieces.first()).value_or(QStringConverter::Utf8));
    QString text;
    for (const QByteArray &piece : pieces)
        text += decoder.decode(piece);
    return text;
}

// The text of the whole input decoded at once.
QString decodedWhole(const QByteArray &input)
{
    return QStringDecoder(QStringConverter::encodingForData(input).value_or(QStringConverter::Utf8))
        .decode(input);
}

// A source that gives its bytes a few at a time and then fails, as a disk may part way.
class FailsAfter : public QIODevice
{
  public:
    FailsAfter(const QByteArray &data, qint64 size) : data(data), size(size)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char *out, qint64 maxSize) override
    {
        if (taken == data.size())
            return -1;
        const qint64 given = std::min({maxSize, size, data.size() - taken});
        std::memcpy(out, data.constData() + taken, size_t(given));
        taken += given;
        return given;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

  private:
    const QByteArray data;
    const qint64 size;
    qint64 taken = 0;
};

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
    // E0 80 can never be whole, yet the decoder waits for its third byte as for E0 A0's.
    EXPECT_EQ(endOf("a\xe0\x80"), 1);
    EXPECT_EQ(endOf("a\xe0\xa0"), 1);
    // Bytes that lead no character are told broken at once.
    EXPECT_EQ(endOf("a\xc0"), 2);
    EXPECT_EQ(endOf("a\xfe"), 2);
    EXPECT_EQ(endOf("a\xf5\x80"), 3);
}

// Bytes held back from one piece lead the next: none lost or repeated, whatever the sizes of
// the source's reads and of the reader's, and a piece that the text stream's reads get ends
// inside a character only at the end of the input. Nothing is read as the end before it.
TEST(WholeCharacters, ReadsEveryByteOnceInOrderAndPiecesEndWhole)
{
    const QByteArray input =
        QByteArray("Gr\xc3\xbc\xc3\x9f"
                   "e \xe2\x82\xac \xf0\x9f\x98\x80 \xe2\x82\n\xc3\n\xe0\x80\n\xe0\xa0\n")
            .repeated(50) +
        "\xe2\x82";
    const QString text = decodedWhole(input);
    for (qint64 sourceSize : {1, 2, 3, 5, 16, 16384}) {
        for (qint64 readSize : {1, 2, 3, 4, 5, 7, 16, 1000, 16384}) {
            Pipe source(input, {sourceSize});
            QByteArray read;
            const QByteArrayList pieces = piecesOf(source, readSize);
            for (const QByteArray &piece : pieces) {
                read += piece;
                // A reader smaller than a character, or than the byte-order mark the first
                // piece must hold, gets them in parts; the text stream reads 16K at a time.
                if (readSize >= 16 && read.size() < input.size()) {
                    EXPECT_EQ(endOf(piece), piece.size()) << "source " << sourceSize << ", reads "
                                                          << readSize << ", at " << read.size();
                }
            }
            EXPECT_EQ(read, input) << "source " << sourceSize << ", reads " << readSize;
            // No line feed after a cut character is lost to the decoder.
            if (readSize >= 4) {
                EXPECT_EQ(decodedInTurn(pieces), text)
                    << "source " << sourceSize << ", reads " << readSize;
            }
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

// Until the bytes after the start tell whether it is a byte-order mark, the first piece is
// held back; once they tell it is none, the piece ends as any other. Held back further, it
// ended by a byte made 0xff, the NUL of "\0\0" made U+FFFD, or, with a leading 0xfe, the
// mark of UTF-16BE, and every line after read as UTF-16.
TEST(WholeCharacters, AStartThatIsNoByteOrderMarkIsReadAsItIs)
{
    for (const QByteArray &input :
         {QByteArray("\0\0\xe0\xa0\xe0\xa0\nab\n", 10), QByteArray("\0\xf0\x80\xbb\x90\n", 6),
          QByteArray("\xfe\xe0\x80\xfe\0\nab\n", 9), QByteArray("\xfe\xe2\xf4\x8f\nab\n"),
          QByteArray("\xff\xe2\xe2\xe2\nab\n")}) {
        for (qint64 sourceSize : {1, 2, 3, 16}) {
            for (qint64 readSize : {4, 5, 6, 16384}) {
                Pipe source(input, {sourceSize});
                EXPECT_EQ(decodedInTurn(piecesOf(source, readSize)), decodedWhole(input))
                    << input.toHex(' ').constData() << ", source " << sourceSize << ", reads "
                    << readSize;
            }
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

// A source that fails part way gives all it gave before the failure, a character the failure
// cut short included, and then the failure, for good.
TEST(WholeCharacters, AFailingSourceGivesItsBytesThenTheFailure)
{
    const QByteArray input("a\nb\xe2\x82\xac\nc\xe2\x82");
    for (qint64 sourceSize : {1, 2, 5, 16384}) {
        FailsAfter source(input, sourceSize);
        WholeCharacters characters(source);
        QByteArray read;
        char piece[16384];
        qint64 got;
        while ((got = characters.read(piece, sizeof piece)) > 0)
            read += QByteArray(piece, qsizetype(got));
        EXPECT_EQ(got, -1) << "source " << sourceSize;
        EXPECT_EQ(read, input) << "source " << sourceSize;
        EXPECT_TRUE(characters.atEnd());
        EXPECT_EQ(characters.read(piece, sizeof piece), -1);
    }
}
