#include "writer.h"

#include <QChar>
#include <QIODevice>
#include <QStringEncoder>

#include <charconv>
#include <cstring>

Writer::Writer(QIODevice &device) : device(device), buffer(chunk, Qt::Uninitialized) {}

Writer &Writer::operator<<(qint64 number)
{
    char *const out = room(20);
    commit(std::to_chars(out, out + 20, number).ptr);
    return *this;
}

char *utf8(char *out, QStringView text)
{
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    while (unit < end) {
        // Most text is ASCII: four code units at a time while they are.
        quint64 four;
        if (end - unit >= 4 &&
            (std::memcpy(&four, unit, sizeof four), !(four & 0xff80ff80ff80ff80u))) {
            for (int i = 0; i < 4; ++i)
                *out++ = char(unit[i]);
            unit += 4;
            continue;
        }
        const char16_t c = *unit++;
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xc0 | c >> 6);
            *out++ = char(0x80 | (c & 0x3f));
        } else if (!QChar::isSurrogate(c)) {
            *out++ = char(0xe0 | c >> 12);
            *out++ = char(0x80 | (c >> 6 & 0x3f));
            *out++ = char(0x80 | (c & 0x3f));
        } else if (QChar::isHighSurrogate(c) && unit < end && QChar::isLowSurrogate(*unit)) {
            const char32_t code = QChar::surrogateToUcs4(c, *unit++);
            *out++ = char(0xf0 | code >> 18);
            *out++ = char(0x80 | (code >> 12 & 0x3f));
            *out++ = char(0x80 | (code >> 6 & 0x3f));
            *out++ = char(0x80 | (code & 0x3f));
        } else {
            *out++ = '?';
        }
    }
    return out;
}

Writer &Writer::operator<<(QStringView text)
{
    inPieces(text, [this](QStringView part) { commit(utf8(room(3 * part.size()), part)); });
    return *this;
}

void Writer::streamed(QStringView text)
{
    // Stateless: no part ends inside a character.
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    inPieces(text, [&](QStringView part) {
        commit(encoder.appendToBuffer(room(encoder.requiredSpace(part.size())), part));
    });
}

Writer &Writer::whole(QByteArrayView bytes)
{
    handOver();
    if (!refused && device.write(bytes.data(), bytes.size()) != bytes.size())
        refused = true;
    return *this;
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
