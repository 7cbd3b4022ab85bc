#include "wholecharacters.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// As much as the text stream asks for at a time.
constexpr qsizetype readSize = 16384;

// The text stream picks the encoding from the first piece alone, which must hold a byte-order
// mark whole to pick what the whole input would.
const char *const byteOrderMarks[] = {"\xef\xbb\xbf", "\xff\xfe", "\xfe\xff", "\xff\xfe\0\0",
                                      "\0\0\xfe\xff"};
constexpr qsizetype byteOrderMarkSizes[] = {3, 2, 2, 4, 4};

// Whether more bytes could still make data[0, size) the start of a byte-order mark. Only
// then is the first piece held back: a source that gives a short first line and then waits
// has it handed on at once.
bool mayGrowIntoByteOrderMark(const char *data, qsizetype size)
{
    for (size_t i = 0; i < std::size(byteOrderMarks); ++i) {
        if (size < byteOrderMarkSizes[i] && std::memcmp(data, byteOrderMarks[i], size_t(size)) == 0)
            return true;
    }
    return false;
}

// Whether the decoder keeps part of a character pending after data[0, end): a lead byte
// within the last three bytes, followed only by continuation bytes, fewer than it announces.
// A broken character the decoder can already tell (another byte cuts it short) leaves
// nothing pending, nor does a whole one.
bool endsInsideCharacter(const unsigned char *data, qsizetype end)
{
    for (qsizetype start = end - 1; start >= 0 && start >= end - 3; --start) {
        const unsigned char byte = data[start];
        if ((byte & 0xc0) == 0x80)
            continue;
        const qsizetype length = byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
        return end - start < length;
    }
    return false; // only continuation bytes: strays, or the end of a whole character
}

} // namespace

qsizetype wholeCharactersEnd(const char *data, qsizetype size)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    while (size > 0 && endsInsideCharacter(bytes, size))
        --size;
    return size;
}

WholeCharacters::WholeCharacters(QIODevice &source) : source(source)
{
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool WholeCharacters::atEnd() const
{
    return ended && heldSize == 0;
}

qint64 WholeCharacters::bytesAvailable() const
{
    return heldSize + source.bytesAvailable();
}

void WholeCharacters::readSource()
{
    if (held.size() < heldSize + readSize)
        held.resize(heldSize + readSize);
    const qint64 got = source.read(held.data() + heldSize, readSize);
    if (got > 0) {
        heldSize += qsizetype(got);
    } else {
        ended = true;
        failed = got < 0;
    }
}

qint64 WholeCharacters::take(char *data, qsizetype size)
{
    if (size == 0)
        return failed ? -1 : 0;
    std::memcpy(data, held.constData(), size_t(size));
    std::memmove(held.data(), held.constData() + size, size_t(heldSize - size));
    heldSize -= size;
    started = true;
    return size;
}

qint64 WholeCharacters::readData(char *data, qint64 maxSize)
{
    for (;;) {
        const qsizetype window = qsizetype(std::min<qint64>(heldSize, maxSize));
        // At the end of the input the decoder gets all there is.
        if (ended)
            return take(data, window);
        if (started || (heldSize > 0 && !mayGrowIntoByteOrderMark(held.constData(), heldSize))) {
            const qsizetype end = wholeCharactersEnd(held.constData(), window);
            if (end > 0 && (started || !mayGrowIntoByteOrderMark(held.constData(), end)))
                return take(data, end);
            // Nowhere to end within what the reader takes: it gets that much, as a reader
            // smaller than a character must.
            if (heldSize > maxSize)
                return take(data, window);
        }
        readSource();
    }
}
