#include "bytesastext.h"

QString bytesAsText(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto *byte = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *const end = byte + bytes.size();
    while (byte < end) {
        // The length of a well-formed UTF-8 character starting here, 0 when there is none:
        // no overlong form, no surrogate, nothing beyond U+10FFFF.
        qsizetype length = 0;
        const unsigned char lead = *byte;
        const qsizetype left = end - byte;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = left >= 2 && (byte[1] & 0xc0) == 0x80 ? 2 : 0;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            const unsigned char low = lead == 0xe0 ? 0xa0 : 0x80;
            const unsigned char high = lead == 0xed ? 0x9f : 0xbf;
            length =
                left >= 3 && byte[1] >= low && byte[1] <= high && (byte[2] & 0xc0) == 0x80 ? 3 : 0;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            const unsigned char low = lead == 0xf0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xf4 ? 0x8f : 0xbf;
            length = left >= 4 && byte[1] >= low && byte[1] <= high && (byte[2] & 0xc0) == 0x80 &&
                             (byte[3] & 0xc0) == 0x80
                         ? 4
                         : 0;
        }
        if (lead == '\\') {
            text += u"\\\\";
            ++byte;
        } else if (length) {
            // Decoded here: the toolkit's decoder takes a U+FEFF that starts its input for a
            // byte-order mark and drops it, and each character starts an input of its own.
            static const unsigned char leadBits[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
            char32_t code = lead & leadBits[length];
            for (qsizetype i = 1; i < length; ++i)
                code = code << 6 | (byte[i] & 0x3f);
            text += QChar::fromUcs4(code);
            byte += length;
        } else {
            static const char digits[] = "0123456789abcdef";
            text += u"\\x";
            text += QLatin1Char(digits[*byte >> 4]);
            text += QLatin1Char(digits[*byte & 0xf]);
            ++byte;
        }
    }
    return text;
}
