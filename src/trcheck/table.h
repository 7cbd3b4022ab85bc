#ifndef TRCHECK_TABLE_H
#define TRCHECK_TABLE_H

#include <QString>

extern const char tableFileName[];

// How many spaces a field of that many characters gets: numbers are right-aligned in 6,
// source texts left-aligned in 128, and a wider text is never cut.
inline qsizetype fieldPadding(qsizetype length, bool alignRight)
{
    const qsizetype width = alignRight ? 6 : 128;
    return length < width ? width - length : 0;
}

// Pads a field with spaces: right-aligned in 6 characters (numbers), or left-aligned in 128
// (source texts). A text already as wide or wider comes back whole.
QString padField(const QString &text, bool alignRight);

// The same field, written in place at out, which must have room for the text and its
// padding; returns the end of the field.
char16_t *padField(char16_t *out, QStringView text, bool alignRight);

// Writes the decimal digits of a count backwards so that they end just before end, and
// returns where they start; 20 characters hold any qint64.
template <typename Char> Char *decimalDigits(qint64 number, Char *end)
{
    quint64 rest = quint64(number);
    do {
        *--end = Char('0' + rest % 10);
        rest /= 10;
    } while (rest);
    return end;
}

// Appends one table row to rows, a buffer that the caller reuses and writes out in pieces:
// number, source and translation, split by "   |||   ", ending in "\n".
void appendTableRow(QString &rows, qint64 found, QStringView line, QStringView translation);

#endif
