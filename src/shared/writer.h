#ifndef TRCHECK_WRITER_H
#define TRCHECK_WRITER_H

#include <QByteArray>
#include <QChar>
#include <QStringView>

#include <cstring>

class QIODevice;

// Calls piece(part) for the parts of text, in order, each of at most pieceUnits code units and
// never ending between the halves of a surrogate pair: what a part's encoding needs stays small
// whatever the text's length (six times the length of a long text overflows a 32-bit size).
constexpr qsizetype pieceUnits = 16384;
template <typename Piece> void inPieces(QStringView text, Piece piece)
{
    while (text.size() > pieceUnits) {
        qsizetype size = pieceUnits;
        if (text[size - 1].isHighSurrogate())
            --size;
        piece(text.first(size));
        text = text.sliced(size);
    }
    piece(text);
}

// The text in UTF-8 at out, which has 3 bytes for each code unit, as QString::toUtf8() makes
// it: a lone surrogate, which UTF-8 cannot carry, becomes '?'. Returns the end.
char *utf8(char *out, QStringView text);

// Bytes on their way to a device (a file, standard output), handed over some 64K at a time: a
// report or a missing-lines list may be as long as the input. Every output of both programs
// writes through one.
//
// The first write the device refuses (a full disk, a reader that has gone) ends the writing:
// nothing more reaches the device, nothing is kept for it, and finish() tells.
class Writer
{
  public:
    // device must be open for writing and outlive the writer.
    explicit Writer(QIODevice &device);
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Hands every line over as soon as it ends, as a terminal expects.
    void setLineBuffered(bool lineBuffered) { this->lineBuffered = lineBuffered; }

    // A piece of a chunk or more goes to the device as it is, after what the writer holds: a
    // long line is not copied once more.
    Writer &operator<<(QByteArrayView bytes)
    {
        if (bytes.size() >= chunk)
            return whole(bytes);
        std::memcpy(room(bytes.size()), bytes.data(), size_t(bytes.size()));
        used += bytes.size();
        return *this;
    }
    Writer &operator<<(const char *text) { return *this << QByteArrayView(text); }
    Writer &operator<<(const QByteArray &bytes) { return *this << QByteArrayView(bytes); }
    Writer &operator<<(char c)
    {
        *room(1) = c;
        ++used;
        return *this;
    }
    Writer &operator<<(qint64 number);
    // In UTF-8 as QString::toUtf8() makes it: a lone surrogate becomes '?'.
    Writer &operator<<(QStringView text);
    // In UTF-8 as the toolkit's text streams write it: a lone surrogate becomes U+FFFD.
    void streamed(QStringView text);
    Writer &spaces(qsizetype count);

    // Room for size more bytes at the end, to be written in place and then kept by commit().
    char *room(qsizetype size)
    {
        Q_ASSERT(size >= 0);
        if (used + size > buffer.size())
            makeRoom(size);
        return buffer.data() + used;
    }
    void commit(const char *end) { used = end - buffer.constData(); }

    // Where the line buffering asks for it, hands over what the writer holds: call at a line's
    // end. Otherwise the writer hands over whenever it holds a chunk.
    void endLine()
    {
        if (lineBuffered)
            handOver();
    }

    // Hands over everything; whether every byte ever written reached the device.
    bool finish();
    bool failed() const { return refused; }

  private:
    static constexpr qsizetype chunk = 65536;
    void makeRoom(qsizetype size);
    Writer &whole(QByteArrayView bytes);
    void handOver();

    QIODevice &device;
    QByteArray buffer;
    qsizetype used = 0;
    bool lineBuffered = false;
    bool refused = false;
};

#endif
