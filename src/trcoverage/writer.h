#ifndef TRCOVERAGE_WRITER_H
#define TRCOVERAGE_WRITER_H

#include <QByteArray>
#include <QString>

#include <cstdio>

// Bytes on their way to a file, handed over some 64K at a time: a missing-lines list may be as
// long as the input. Whether they arrived is for the caller to ask of the file.
class Writer
{
  public:
    explicit Writer(std::FILE *out) : out(out) {}
    ~Writer() { flush(); }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    Writer &operator<<(const char *text) { return add(QByteArray(text)); }
    Writer &operator<<(const QByteArray &bytes) { return add(bytes); }
    Writer &operator<<(const QString &text) { return add(text.toUtf8()); }
    Writer &operator<<(qint64 number) { return add(QByteArray::number(number)); }
    Writer &operator<<(char c) { return add(QByteArray(1, c)); }
    // count spaces
    Writer &spaces(qsizetype count) { return count > 0 ? add(QByteArray(count, ' ')) : *this; }

    void flush()
    {
        // Written whole: a NUL inside a line must not cut it short.
        if (!buffer.isEmpty())
            std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
        buffer.resize(0);
    }

  private:
    Writer &add(const QByteArray &bytes)
    {
        buffer += bytes;
        if (buffer.size() >= 65536)
            flush();
        return *this;
    }

    std::FILE *out;
    QByteArray buffer;
};

#endif
