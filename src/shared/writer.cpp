#include "writer.h"

#include <QIODevice>
#include <QStringEncoder>

#include <charconv>

Writer::Writer(QIODevice &device) : device(device), buffer(chunk, Qt::Uninitialized) {}

Writer &Writer::operator<<(qint64 number)
{
    char *const out = room(20);
    commit(std::to_chars(out, out + 20, number).ptr);
    return *this;
}

Writer &Writer::operator<<(QStringView text)
{
    return *this << QByteArrayView(text.toUtf8());
}

void Writer::streamed(QStringView text)
{
    // Stateless: every text is whole.
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    commit(encoder.appendToBuffer(room(encoder.requiredSpace(text.size())), text));
}

Writer &Writer::spaces(qsizetype count)
{
    if (count > 0) {
        std::memset(room(count), ' ', size_t(count));
        used += count;
    }
    return *this;
}

void Writer::makeRoom(qsizetype size)
{
    // What is held goes first; a record larger than the buffer grows it, and the next hand-over
    // lets it shrink back.
    handOver();
    if (size > buffer.size())
        buffer.resize(size);
}

void Writer::handOver()
{
    if (!refused && used > 0 && device.write(buffer.constData(), used) != used)
        refused = true;
    used = 0;
    if (buffer.size() > chunk)
        buffer = QByteArray(chunk, Qt::Uninitialized);
}

bool Writer::finish()
{
    handOver();
    return !refused;
}
