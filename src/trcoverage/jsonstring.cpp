#include "jsonstring.h"

#include "writer.h"

#include <QChar>

namespace {

char *hexEscape(char *out, char16_t unit)
{
    static const char digits[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    *out++ = digits[(unit >> 12) & 0xf];
    *out++ = digits[(unit >> 8) & 0xf];
    *out++ = digits[(unit >> 4) & 0xf];
    *out++ = digits[unit & 0xf];
    return out;
}

bool isNoncharacter(char32_t code)
{
    return (code >= 0xfdd0 && code <= 0xfdef) || (code & 0xfffe) == 0xfffe;
}

// Whether a character other than a quote or a backslash is written escaped.
bool escaped(char32_t code, JsonIn where)
{
    if (code < 0x20 || code == 0xfeff || code == 0x2028 || code == 0x2029)
        return true;
    if (where == JsonIn::document)
        return false;
    return code == '<' || code == '>' || code == '&' || (code >= 0x7f && code <= 0x9f) ||
           isNoncharacter(code);
}

// Writes part of a JSON string's text at out, which has 6 bytes for each code unit (\uXXXX);
// returns the end.
char *escaped(char *out, QStringView text, JsonIn where)
{
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    while (unit < end) {
        const char16_t c = *unit++;
        if (c < 0x80 && c >= 0x20 && c != '"' && c != '\\' && !escaped(c, where)) {
            *out++ = char(c);
        } else if (c == '"' || c == '\\') {
            *out++ = '\\';
            *out++ = char(c);
        } else if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && unit < end && QChar::isLowSurrogate(*unit)) {
                const char32_t code = QChar::surrogateToUcs4(c, *unit++);
                if (escaped(code, where)) {
                    out = hexEscape(out, c);
                    out = hexEscape(out, unit[-1]);
                } else {
                    *out++ = char(0xf0 | (code >> 18));
                    *out++ = char(0x80 | ((code >> 12) & 0x3f));
                    *out++ = char(0x80 | ((code >> 6) & 0x3f));
                    *out++ = char(0x80 | (code & 0x3f));
                }
            } else {
                out = hexEscape(out, c);
            }
        } else if (escaped(c, where)) {
            out = hexEscape(out, c);
        } else if (c < 0x800) {
            *out++ = char(0xc0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3f));
        } else {
            *out++ = char(0xe0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3f));
            *out++ = char(0x80 | (c & 0x3f));
        }
    }
    return out;
}

} // namespace

void appendJsonString(QByteArray &out, QStringView text, JsonIn where)
{
    out += '"';
    inPieces(text, [&](QStringView part) {
        const qsizetype start = out.size();
        out.resize(start + 6 * part.size());
        out.resize(escaped(out.data() + start, part, where) - out.constData());
    });
    out += '"';
}

void writeJsonString(Writer &out, QStringView text, JsonIn where)
{
    out << '"';
    inPieces(text, [&](QStringView part) {
        out.commit(escaped(out.room(6 * part.size()), part, where));
    });
    out << '"';
}
