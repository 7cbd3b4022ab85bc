#ifndef TRCOVERAGE_WRITER_H
#define TRCOVERAGE_WRITER_H

#include <QByteArray>
#include <QString>

#include <charconv>
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

    // Appended straight to the buffer: they come several to a line, and a temporary array for
    // each would cost an allocation.
    Writer &operator<<(const char *text) { return add(QByteArrayView(text)); }
    Writer &operator<<(const QByteArray &bytes) { return add(bytes); }
    Writer &operator<<(const QString &text) { return add(text.toUtf8()); }
    Writer &operator<<(qint64 number)
    {
        char digits[20];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return add(QByteArrayView(digits, end - digits));
    }
    Writer &operator<<(char c) { return add(QByteArrayView(&c, 1)); }
    // count spaces
    Writer &spaces(qsizetype count)
    {
        if (count > 0)
            buffer.append(count, ' ');
        return handOver();
    }

    void flush()
    {
        // Written whole: a NUL inside a line must not cut it short.
        if (!buffer.isEmpty())
            std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
        buffer.resize(0);
    }

  private:
    Writer &add(QByteArrayView bytes)
    {
        buffer.append(bytes);
        return handOver();
    }
    Writer &handOver()
    {
        if (buffer.size() >= 65536)
            flush();
        return *this;
    }

    std::FILE *out;
    QByteArray buffer;
};

#endif
