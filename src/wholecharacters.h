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

    // The rest only forward to the base class. An entry of this class's table of virtual
    // functions that names a function of the toolkit costs the dynamic linker a symbol
    // look-up as the program starts; one that names a function of the program costs nothing.
    const QMetaObject *metaObject() const override;
    void *qt_metacast(const char *name) override;
    int qt_metacall(QMetaObject::Call call, int id, void **arguments) override;
    bool open(OpenMode mode) override;
    void close() override;
    qint64 pos() const override;
    qint64 size() const override;
    bool seek(qint64 position) override;
    bool reset() override;
    qint64 bytesToWrite() const override;
    bool canReadLine() const override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;

  protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

    qint64 readLineData(char *data, qint64 maxSize) override;
    qint64 skipData(qint64 maxSize) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void childEvent(QChildEvent *event) override;
    void customEvent(QEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

  private:
    QIODevice &source;
    QByteArray held; // from its start, heldSize bytes that begin the next piece
    qsizetype heldSize = 0;
};

// Where a piece of UTF-8 can end without leaving the decoder anything pending: size when
// the piece already does, otherwise an earlier point, or size when it has none.
qsizetype wholeCharactersEnd(const char *data, qsizetype size);

#endif
