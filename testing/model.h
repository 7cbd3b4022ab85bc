#ifndef TRCHECK_TESTING_MODEL_H
#define TRCHECK_TESTING_MODEL_H

// The independent model of how the programs read a strings file, for the fuzz target and the
// differential tests: the whole input decoded at once, never piece by piece.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

// The file split as the tool reads it: decoded whole (a byte-order mark picks UTF-16 or
// UTF-32, else UTF-8), one line per line feed, a carriage return that ends a line (before
// the line feed, or at the very end of the input) not part of it, and no empty line after
// a final line feed.
inline QList<QString> linesOf(const QByteArray &bytes)
{
    QStringDecoder decoder(
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
    const QString text = decoder(bytes);
    QList<QString> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        QString line = text.mid(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line);
        start = next;
    }
    return lines;
}

// Whether a line can be a lookup key: its UTF-8 form must carry it whole.
inline bool isLookupable(const QString &line)
{
    return !line.contains(QChar(u'\0')) && line.isValidUtf16();
}

#endif
