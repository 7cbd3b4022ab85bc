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
// returns the end. The characters kept as they are go out in runs, encoded as every text is.
char *escaped(char *out, QStringView text, JsonIn where)
{
    const char16_t *const end = text.utf16() + text.size();
    const char16_t *run = text.utf16();
    for (const char16_t *at = run; at != end;) {
        const char16_t c = *at;
        const bool pair = QChar::isHighSurrogate(c) && end - at > 1 && QChar::isLowSurrogate(at[1]);
        const bool quoted = c == u'"' || c == u'\\';
        // A lone surrogate, which UTF-8 cannot carry, is always escaped.
        if (!quoted && (pair || !QChar::isSurrogate(c)) &&
            !escaped(pair ? QChar::surrogateToUcs4(c, at[1]) : c, where)) {
            at += pair ? 2 : 1;
            continue;
        }
        out = utf8(out, QStringView(run, at));
        if (quoted) {
            *out++ = '\\';
            *out++ = char(c);
        } else {
            out = hexEscape(out, c);
            if (pair)
                out = hexEscape(out, at[1]);
        }
        run = at += pair ? 2 : 1;
    }
    return utf8(out, QStringView(run, end));
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
