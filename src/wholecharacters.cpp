#include "wholecharacters.h"

#include <algorithm>

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xc0) == 0x80;
}

// Where the character that data[0, size) ends with starts, when it is not yet whole; size
// when the decoder has nothing pending there. A lead byte always starts afresh, so the
// answer lies within the last three bytes.
qsizetype unfinishedStart(const unsigned char *data, qsizetype size)
{
    for (qsizetype start = size - 1; start >= 0 && start >= size - 3; --start) {
        const unsigned char byte = data[start];
        if (isContinuation(byte))
            continue;
        const qsizetype length = byte >= 0xf0 && byte <= 0xf7   ? 4
                                 : byte >= 0xe0 && byte <= 0xef ? 3
                                 : byte >= 0xc0 && byte <= 0xdf ? 2
                                                                : 1;
        return size - start < length ? start : size;
    }
    return size; // ASCII last, or more continuation bytes than any character has
}

} // namespace

qsizetype wholeCharactersEnd(const char *text, qsizetype size)
{
    const auto *data = reinterpret_cast<const unsigned char *>(text);
    const qsizetype start = unfinishedStart(data, size);
    if (start == size)
        return size;
    // Cutting before the unfinished character helps only if the one before it is whole.
    if (start > 0 && unfinishedStart(data, start) == start)
        return start;
    // Nothing is pending after an ASCII byte, such as the line feed ending the last line.
    for (qsizetype end = start; end > 0; --end)
        if (data[end - 1] < 0x80)
            return end;
    // A piece of nothing but broken characters: cut before the last one, so that the byte
    // the decoder drops is a lead byte, never a line feed.
    return start > 0 ? start : size;
}

WholeCharacters::WholeCharacters(QIODevice &source) : source(source)
{
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool WholeCharacters::atEnd() const
{
    return heldSize == 0 && source.atEnd();
}

qint64 WholeCharacters::bytesAvailable() const
{
    return heldSize + source.bytesAvailable();
}

qint64 WholeCharacters::readData(char *data, qint64 maxSize)
{
    qint64 size = std::min<qint64>(heldSize, maxSize);
    if (size > 0) {
        std::copy_n(held.constData(), size, data);
        // What a small read leaves of it moves to the front.
        std::copy(held.constData() + size, held.constData() + heldSize, held.data());
        heldSize -= size;
    }
    if (size < maxSize) {
        const qint64 got = source.read(data + size, maxSize - size);
        if (got < 0 && size == 0)
            return -1;
        if (got > 0)
            size += got;
    }
    // At the end of the input the decoder gets all there is.
    if (size == 0 || (heldSize == 0 && source.atEnd()))
        return size;
    const qint64 end = wholeCharactersEnd(data, size);
    if (end < size) {
        // Before what is still held, when a small read left some of it.
        if (held.size() < heldSize + size - end)
            held.resize(heldSize + size - end);
        std::copy_backward(held.constData(), held.constData() + heldSize,
                           held.data() + heldSize + size - end);
        std::copy(data + end, data + size, held.data());
        heldSize += size - end;
    }
    return end;
}
