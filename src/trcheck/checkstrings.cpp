#include "checkstrings.h"

#include "encodeline.h"
#include "platform.h"
#include "table.h"
#include "verdict.h"

#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {

const char okVerdict[] = "    OK: ";
const char errorVerdict[] = " ERROR: ";
static_assert(sizeof okVerdict == sizeof errorVerdict, "the verdict is filled in afterwards");
constexpr qsizetype verdictSize = sizeof okVerdict - 1;

// The buffers a line passes through, kept from line to line: after the longest line, a line
// costs no allocation of the tool's own.
struct Buffers
{
    QString line;
    QString translation;
    QByteArray key;
    QByteArray report;
    QString rows;
};

// Rows go to the table stream some 16K characters at a time: the stream frees its buffer
// whenever it writes it out and regrows it from nothing, which row by row costs more than
// building the rows.
constexpr qsizetype tableChunk = 16384;

void writeRows(QTextStream &table, QString &rows)
{
    if (rows.isEmpty())
        return;
    // A stream that failed to write keeps all that is given to it in memory: once the table
    // cannot be written, the run goes on checking without it.
    if (table.status() == QTextStream::Ok)
        table << rows;
    rows.resize(0);
}

// Grows a buffer to hold at least size bytes; it never shrinks.
char *reserved(QByteArray &buffer, qsizetype size)
{
    if (buffer.size() < size)
        buffer.resize(size);
    return buffer.data();
}

} // namespace

void checkStrings(QTextStream &input, QTextStream &table, std::FILE *report)
{
    // 64-bit, so that an input of more than 2^31 lines keeps counting.
    qint64 lineNumber = 1;
    qint64 found = 0;
    Buffers buffers;
    bool reporting = true;
    // Reading until no line is read, rather than until atEnd(): a pipe is at its end until it
    // is read, input that ends inside a character leaves bytes that decode to no line, and a
    // read error must end the loop.
    while (input.readLineInto(&buffers.line)) {
        const qsizetype size = buffers.line.size();

        // "=> " number verdict "'" line "'\n", in one piece; the verdict comes last.
        char *const start = reserved(buffers.report, 3 + 19 + verdictSize + size + 3);
        char *out = start;
        std::memcpy(out, "=> ", 3);
        out += 3;
        char digits[20];
        char *const digitsEnd = digits + sizeof digits;
        char *const first = decimalDigits(lineNumber, digitsEnd);
        const qsizetype padding = fieldPadding(digitsEnd - first, true);
        std::memset(out, ' ', size_t(padding));
        out += padding;
        out = std::copy(first, digitsEnd, out);
        char *const verdict = out;
        out += verdictSize;
        *out++ = '\'';
        char *const key = reserved(buffers.key, 3 * size + 1);
        const bool valid = encodeLine(buffers.line, out, key);
        out += size;
        *out++ = '\'';
        *out++ = '\n';

        // A line that cannot be looked up is not: its key would stand for another text.
        if (valid)
            buffers.translation = lookUp(key);
        const bool translated = isTranslation(valid, buffers.line, key, buffers.translation);
        std::memcpy(verdict, translated ? okVerdict : errorVerdict, verdictSize);
        // Written whole: a NUL inside the line must not cut the report short. Once the report
        // cannot be written (its reader has gone), the run goes on for the table alone.
        const size_t reportSize = size_t(out - start);
        reporting = reporting && std::fwrite(start, 1, reportSize, report) == reportSize;

        if (translated) {
            appendTableRow(buffers.rows, ++found, buffers.line, buffers.translation);
            if (buffers.rows.size() >= tableChunk)
                writeRows(table, buffers.rows);
        }
        ++lineNumber;
    }
    writeRows(table, buffers.rows);
}
