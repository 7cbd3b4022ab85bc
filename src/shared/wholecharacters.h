#ifndef TRCHECK_WHOLECHARACTERS_H
#define TRCHECK_WHOLECHARACTERS_H

#include <QByteArray>
#include <QIODevice>

// Reads another device, read-only, for a text stream, in pieces that leave the stream's
// decoder nothing pending.
//
// The text stream decodes its device piece by piece. When a piece ends inside a UTF-8
// character and the next piece cannot continue it, the toolkit's decoder reports the broken
// character and drops the next piece's first byte as well; the byte may be a line feed, and
// then two lines become one and every later line is numbered wrongly. So a piece ends where
// the decoder has nothing pending (after an ASCII byte or a whole character), and the bytes
// after that point are held back for the next piece. A run of broken characters longer than
// the reader takes at a time has no such point: its piece ends before the last character,
// with the lead byte of the broken one before made 0xff, which decodes the same and leaves
// nothing pending. Only the end of the input, or a reader smaller than a character, gets a
// piece that ends inside a character. The first piece also holds the whole byte-order mark,
// from which the stream picks the encoding. Other encodings (UTF-16, UTF-32) are decoded
// correctly across any cut.
//
// The source is at its end only when a read of it gives nothing or fails: a pipe or a
// terminal has nothing to read at times and yet more to come. A read of this device never
// gives nothing while the source has more, since the text stream takes that as the end.
class WholeCharacters : public QIODevice
{
  public:
    // source must be open for reading and outlive this device, which opens itself.
    explicit WholeCharacters(QIODevice &source);

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

  private:
    void readSource();
    qint64 take(char *data, qsizetype size);

    QIODevice &source;
    QByteArray held; // from its start, heldSize bytes read from the source and not yet given
    qsizetype heldSize = 0;
    bool ended = false; // the source gave nothing, or failed
    bool failed = false;
    bool started = false; // a piece has been given
    bool utf8 = true;     // the first piece picked UTF-8
};

// Where a piece of data[0, size) can end with nothing pending in the decoder: its last such
// point, size when it already does; 0 when it has none.
qsizetype wholeCharactersEnd(const char *data, qsizetype size);

#endif
