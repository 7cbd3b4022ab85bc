#include "table.h"

#include "writer.h"

#include <charconv>
#include <cstring>

const char tableFileName[] = "Strings_Table.txt";

QString padField(const QString &text, bool alignRight)
{
    const qsizetype padding = fieldPadding(text.size(), alignRight ? numberWidth : sourceWidth);
    const QString spaces(padding, u' ');
    return alignRight ? spaces + text : text + spaces;
}

char *paddedNumber(char *out, qint64 number)
{
    // Seven digits or more fill the field by themselves.
    if (quint64(number) >= 1000000)
        return std::to_chars(out, out + 20, quint64(number)).ptr;
    // By hand, in place: every report line and row has one, and the general conversion and
    // fill cost several times as much. The spaces go first, whole, and the digits over them,
    // in 32 bits, which divide cheaper.
    static_assert(numberWidth == 6, "the spaces are written as one piece");
    std::memcpy(out, "      ", numberWidth);
    quint32 rest = quint32(number);
    char *at = out + numberWidth;
    do {
        *--at = char('0' + rest % 10);
        rest /= 10;
    } while (rest);
    return out + numberWidth;
}

void writeTableRow(Writer &out, qint64 found, QStringView line, QByteArrayView lineUtf8,
                   QStringView translation)
{
    static constexpr char separator[] = "   |||   ";
    char *const start = out.room(20);
    out.commit(paddedNumber(start, found));
    out << separator << lineUtf8;
    out.spaces(fieldPadding(line.size(), sourceWidth));
    out << separator;
    // As the table has always been written, through a text stream.
    out.streamed(translation);
    out << '\n';
}

void TableOutput::addLine(const LineOutcome &line)
{
    const Outcome &outcome = line.outcome(0);
    if (!outcome.translated || out.failed())
        return;
    // A translated line can be looked up, so its key is its whole UTF-8 form.
    writeTableRow(out, ++found, line.text, QByteArrayView(line.key), outcome.answer);
}
