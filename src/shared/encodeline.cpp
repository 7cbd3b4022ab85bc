#include "encodeline.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Most text is ASCII, and an ASCII code unit is the same byte in both forms: whole blocks of
// it are checked and copied at once, the rest goes one code unit at a time.
#if defined(__SSE2__)
constexpr qsizetype asciiBlock = 16;

bool copyAscii(const char16_t *in, char *latin1, char *key)
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 8));
    // Signed 16-bit lanes: 1..0x7f is ASCII without NUL; anything from 0x8000 is negative.
    const __m128i zero = _mm_setzero_si128();
    const __m128i limit = _mm_set1_epi16(0x80);
    const __m128i ascii =
        _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi16(a, zero), _mm_cmplt_epi16(a, limit)),
                      _mm_and_si128(_mm_cmpgt_epi16(b, zero), _mm_cmplt_epi16(b, limit)));
    if (_mm_movemask_epi8(ascii) != 0xffff)
        return false;
    const __m128i bytes = _mm_packus_epi16(a, b);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(latin1), bytes);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(key), bytes);
    return true;
}
#else
constexpr qsizetype asciiBlock = 8;

// Two words of four code units each. The packing keeps the units' order whatever the
// machine's byte order, as the words are read and written in it.
bool copyAscii(const char16_t *in, char *latin1, char *key)
{
    constexpr quint64 ones = 0x0001000100010001u, highs = 0x8000800080008000u;
    quint64 a, b;
    std::memcpy(&a, in, sizeof a);
    std::memcpy(&b, in + 4, sizeof b);
    if ((a | b) & 0xff80ff80ff80ff80u)
        return false;
    if ((((a - ones) & ~a) | ((b - ones) & ~b)) & highs)
        return false; // a NUL
    a = (a | a >> 8) & 0x0000ffff0000ffffu;
    b = (b | b >> 8) & 0x0000ffff0000ffffu;
    a = (a | a >> 16) & 0xffffffffu;
    b = (b | b >> 16) & 0xffffffffu;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const quint64 bytes = a | b << 32;
#else
    const quint64 bytes = a << 32 | b;
#endif
    std::memcpy(latin1, &bytes, sizeof bytes);
    std::memcpy(key, &bytes, sizeof bytes);
    return true;
}
#endif

} // namespace

bool encodeLine(QStringView line, char *latin1, char *key)
{
    const char16_t *in = line.utf16();
    const char16_t *const end = in + line.size();
    bool valid = true;
    while (in != end) {
        if (end - in >= asciiBlock && copyAscii(in, latin1, key)) {
            in += asciiBlock;
            latin1 += asciiBlock;
            key += asciiBlock;
            continue;
        }
        // A surrogate pair may end one code unit past the block; the next block starts there.
        const char16_t *const blockEnd = in + std::min(asciiBlock, qsizetype(end - in));
        while (in < blockEnd) {
            const char16_t c = *in++;
            *latin1++ = c < 0x100 ? char(c) : '?';
            if (c < 0x80) {
                valid = valid && c != 0;
                *key++ = char(c);
            } else if (c < 0x800) {
                *key++ = char(0xc0 | c >> 6);
                *key++ = char(0x80 | (c & 0x3f));
            } else if (c < 0xd800 || c > 0xdfff) {
                *key++ = char(0xe0 | c >> 12);
                *key++ = char(0x80 | (c >> 6 & 0x3f));
                *key++ = char(0x80 | (c & 0x3f));
            } else if (c < 0xdc00 && in != end && *in >= 0xdc00 && *in <= 0xdfff) {
                const char32_t u = 0x10000 + ((char32_t(c) - 0xd800) << 10) + (*in++ - 0xdc00);
                *latin1++ = '?';
                *key++ = char(0xf0 | u >> 18);
                *key++ = char(0x80 | (u >> 12 & 0x3f));
                *key++ = char(0x80 | (u >> 6 & 0x3f));
                *key++ = char(0x80 | (u & 0x3f));
            } else {
                valid = false;
            }
        }
    }
    *key = '\0';
    return valid;
}
