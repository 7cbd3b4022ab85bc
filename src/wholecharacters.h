#ifndef TRCHECK_WHOLECHARACTERS_H
#define TRCHECK_WHOLECHARACTERS_H

#include <QByteArray>
#include <QIODevice>

// Reads another device, read-only, for a text stream, in pieces that do not end inside a
// UTF-8 character.
//
// The text stream decodes its device piece by piece. When a piece ends inside a character
// and the next piece starts with a byte that cannot continue it, the toolkit's decoder
// reports the broken character and drops that byte as well; the byte may be a line feed,
// and then two lines become one and every later line is numbered wrongly. Pieces that end
// where the decoder has nothing pending avoid that: the bytes after such a point are held
// back for the next piece. Other encodings (chosen by a byte-order mark) are decoded
// correctly across any cut.
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
    QIODevice &source;
    QByteArray held; // from its start, heldSize bytes that begin the next piece
    qsizetype heldSize = 0;
};

// Where a piece of UTF-8 can end without leaving the decoder anything pending: size when
// the piece already does, otherwise an earlier point, or size when it has none.
qsizetype wholeCharactersEnd(const char *data, qsizetype size);

#endif
