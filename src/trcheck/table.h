#ifndef TRCHECK_TABLE_H
#define TRCHECK_TABLE_H

#include "output.h"

#include <QString>

class Writer;

extern const char tableFileName[];

// The widths of the padded fields: numbers right-aligned in 6 characters, source texts
// left-aligned in 128 (UTF-16 code units).
constexpr qsizetype numberWidth = 6;
constexpr qsizetype sourceWidth = 128;

// How many spaces a field of that many characters gets in that width: a wider text is never cut.
inline qsizetype fieldPadding(qsizetype length, qsizetype width)
{
    return length < width ? width - length : 0;
}

// Pads a field with spaces: right-aligned in 6 characters (numbers), or left-aligned in 128
// (source texts). A text already as wide or wider comes back whole.
QString padField(const QString &text, bool alignRight);

// A number as padField right-aligns it, written at out in ASCII; returns the end. Room for 20
// characters: any qint64.
char *paddedNumber(char *out, qint64 number);

// Writes one table row in UTF-8: number, source and translation, split by "   |||   ", ending in
// "\n". lineUtf8: the line's UTF-8 form.
void writeTableRow(Writer &out, qint64 found, QStringView line, QByteArrayView lineUtf8,
                   QStringView translation);

// The table as an output of the pass: a row for every line the first language translates,
// numbered from 1. Once the table cannot be written the rows are no longer made.
class TableOutput : public Output
{
  public:
    // out must outlive the output.
    explicit TableOutput(Writer &out) : out(out) {}

    OutputNeeds needs() const override { return {true, false}; }
    void addLine(const LineOutcome &line) override;

  private:
    Writer &out;
    qint64 found = 0;
};

#endif
