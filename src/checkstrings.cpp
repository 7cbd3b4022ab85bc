#include "checkstrings.h"

#include "platform.h"
#include "table.h"

#include <QTextStream>

#include <cstdio>

namespace {

// The lookup reads its key as UTF-8 up to the first NUL and answers an unknown key with the
// key decoded again. A line with a NUL, or with a lone surrogate that UTF-8 cannot carry,
// would therefore be looked up as some other text and its "translation" would differ from
// it: such a line cannot be looked up at all.
bool makeKey(const QString &line, QByteArray &key)
{
    if (line.contains(QChar(u'\0')) || !line.isValidUtf16())
        return false;
    key = line.toUtf8();
    return true;
}

void report(const QString &number, bool translated, const QString &line)
{
    const QByteArray text = line.toLatin1();
    std::fprintf(stdout, "=> %s%s'", number.toLatin1().constData(),
                 translated ? "    OK: " : " ERROR: ");
    // Written whole: a NUL inside the line must not cut the report short.
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fputs("'\n", stdout);
}

} // namespace

void checkStrings(QTextStream &input, QTextStream &table)
{
    // 64-bit, so that an input of more than 2^31 lines keeps counting.
    qint64 lineNumber = 1;
    qint64 found = 0;
    QString line;
    QByteArray key;
    // Reading until a read fails, rather than testing atEnd() first, also drains pipes, whose
    // end is unknown until they are read, and stops on a read error.
    while (input.readLineInto(&line)) {
        QString translation;
        const bool translated =
            makeKey(line, key) && (translation = lookUp(key.constData())) != line;
        report(padField(QString::number(lineNumber), true), translated, line);
        // A table stream that failed keeps what it is given in memory: give it no more.
        if (translated && ++found && table.status() == QTextStream::Ok)
            writeTableRow(table, found, line, translation);
        ++lineNumber;
    }
}
