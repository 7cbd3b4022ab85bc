#include "table.h"

#include <QTextStream>

const char tableFileName[] = "Strings_Table.txt";

QString padField(const QString &text, bool alignRight)
{
    return alignRight ? text.rightJustified(6) : text.leftJustified(128);
}

void writeTableRow(QTextStream &table, qint64 found, const QString &line,
                   const QString &translation)
{
    static const QString separator = QStringLiteral("   |||   ");
    table << padField(QString::number(found), true) << separator;
    table << padField(line, false) << separator;
    table << translation << '\n';
}
