#ifndef TRCOVERAGE_JSONSTRING_H
#define TRCOVERAGE_JSONSTRING_H

#include <QByteArray>
#include <QStringView>

class Writer;

// Where a JSON string stands, and so what it escapes beyond what JSON needs.
enum class JsonIn {
    // A JSON document: control characters, quotes and backslashes; a lone surrogate, which
    // UTF-8 cannot carry; U+FEFF, which decoders drop where it leads a text; the line and
    // paragraph separators, which end a line in JavaScript.
    document,
    // Also an HTML data block: whatever could end or confuse the element (<, >, &), DEL and the
    // C1 controls, and the noncharacters, which an HTML parser or a text tool may take for
    // something other than text.
    page,
};

// Writes text as a JSON string, quotes included, in UTF-8. Every code unit is kept: a parser
// gives back exactly the UTF-16 text. An escaped character is written \uXXXX (a quote and a
// backslash \" and \\), so that no control character ever stands in the output as itself.
void appendJsonString(QByteArray &out, QStringView text, JsonIn where);
void writeJsonString(Writer &out, QStringView text, JsonIn where = JsonIn::document);

#endif
