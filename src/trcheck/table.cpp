#include "table.h"

#include "writer.h"

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
    // By hand, in place: every report line and row has one, and the general conversion and
    // fill cost several times as much. The spaces go first, whole, and the digits over them;
    // numbers below 10^6 (nearly all) in 32 bits, which divide cheaper.
    static_assert(numberWidth == 6, "the spaces are written as one piece");
    std::memcpy(out, "      ", numberWidth);
    if (number >= 0 && number < 1000000) {
        quint32 rest = quint32(number);
        char *at = out + numberWidth;
        do {
            *--at = char('0' + rest % 10);
            rest /= 10;
        } while (rest);
        return out + numberWidth;
    }
    quint64 rest = quint64(number);
    qsizetype digits = 1;
    for (quint64 bound = 10; digits < 20 && rest >= bound; bound *= 10)
        ++digits;
    char *const end = out + digits + fieldPadding(digits, numberWidth);
    char *at = end;
    do {
        *--at = char('0' + rest % 10);
        rest /= 10;
    } while (rest);
    return end;
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
