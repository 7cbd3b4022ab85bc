#ifndef TRCHECK_TABLE_H
#define TRCHECK_TABLE_H

#include <QString>

class QTextStream;

extern const char tableFileName[];

// Pads a field with spaces: right-aligned in 6 characters (numbers), or left-aligned in 128
// (source texts). A text already as wide or wider comes back whole.
QString padField(const QString &text, bool alignRight);

// One table row: number, source and translation, split by "   |||   ", ending in "\n".
void writeTableRow(QTextStream &table, qint64 found, const QString &line,
                   const QString &translation);

#endif
