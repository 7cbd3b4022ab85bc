#include "wholecharacters.h"

#include <QStringConverter>

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

// The size of the byte-order mark that data[0, size) starts with, the longest that matches
// (UTF-32LE's starts as UTF-16LE's does); 0 when it starts with none.
qsizetype byteOrderMarkSize(const char *data, qsizetype size)
{
    qsizetype longest = 0;
    for (size_t i = 0; i < std::size(byteOrderMarks); ++i) {
        const qsizetype markSize = byteOrderMarkSizes[i];
        if (markSize > longest && size >= markSize &&
            std::memcmp(data, byteOrderMarks[i], size_t(markSize)) == 0)
            longest = markSize;
    }
    return longest;
}

// Whether the decoder keeps part of a character pending after data[0, end): a lead byte
// within the last three bytes, followed only by continuation bytes, fewer than it announces.
// The decoder holds those whatever they are: E0 80 waits for a third byte as E0 A0 does,
// though no third byte can make it whole. A broken character the decoder can already tell
// (another byte cuts it short, or its first byte leads no character: C0, C1, F5 to FF)
// leaves nothing pending, nor does a whole one.
bool endsInsideCharacter(const unsigned char *data, qsizetype end)
{
    for (qsizetype start = end - 1; start >= 0 && start >= end - 3; --start) {
        const unsigned char byte = data[start];
        if ((byte & 0xc0) == 0x80)
            continue;
        const qsizetype length = byte >= 0xf5   ? 1
                                 : byte >= 0xf0 ? 4
                                 : byte >= 0xe0 ? 3
                                 : byte >= 0xc2 ? 2
                                                : 1;
        return end - start < length;
    }
    return false; // only continuation bytes: strays, or the end of a whole character
}

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

// Where a piece of data[0, size) that has nowhere to end whole (a run of broken characters)
// ends all the same: before the lead byte of its last, unfinished character. That lead byte
// cuts the character before it short, so that one is broken. Its lead byte becomes 0xff,
// which the decoder tells broken at once, as it tells the original once it meets the next
// lead byte; held pending instead, the decoder would drop the next piece's first byte.
// size when there is no character before the last (a reader smaller than a character).
// Only a byte that the decoder takes as a lead is ever made 0xff, so the first piece never
// starts with a mark the input does not have: 0xfe before it would make UTF-16BE's.
qsizetype brokenPieceEnd(char *data, qsizetype size)
{
    qsizetype last = size - 1;
    while (last > 0 && isContinuation(data[last]))
        --last;
    qsizetype broken = last - 1;
    while (broken > 0 && isContinuation(data[broken]))
        --broken;
    if (broken < 0 || isContinuation(data[broken]))
        return size;
    data[broken] = '\xff';
    return last;
}

// Whether the text stream decodes UTF-8 after a first piece data[0, size): it picks the
// encoding by the piece's byte-order mark alone.
bool decodesUtf8(const char *data, qsizetype size)
{
    return QStringConverter::encodingForData(QByteArrayView(data, size))
               .value_or(QStringConverter::Utf8) == QStringConverter::Utf8;
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
    if (!started)
        utf8 = decodesUtf8(held.constData(), size);
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
            // The bytes held tell by now whether the input starts with a mark, which the first
            // piece must hold whole. A start that only looked like one ("\0\0") is no reason
            // to hold the piece back: it would end instead by a byte made 0xff that leads no
            // broken character.
            const qsizetype mark = started ? 0 : byteOrderMarkSize(held.constData(), heldSize);
            const qsizetype end = wholeCharactersEnd(held.constData(), window);
            if (end > 0 && end >= mark)
                return take(data, end);
            // Nowhere to end within what the reader takes. UTF-16 and UTF-32 are decoded
            // across any cut.
            if (heldSize > maxSize) {
                const bool inUtf8 = started ? utf8 : decodesUtf8(held.constData(), window);
                return take(data, inUtf8 ? brokenPieceEnd(held.data(), window) : window);
            }
        }
        readSource();
    }
}
