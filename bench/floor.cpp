// The bare loop: only what the toolkit makes every implementation pay for each line (read it,
// make its key, look it up), to measure the floor the real program is held against.
// usage: trcheck_bench_floor [-translations DIR] [-lang LOCALE] Strings.txt
#include "platform.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    ZApplication application(argc, argv, ZApplication::GuiClient);
    if (argc != 2)
        return 1;
    QFile strings(QFile::decodeName(argv[1]));
    if (!strings.open(QIODevice::ReadOnly))
        return 2;
    QTextStream input(&strings);
    QString line;
    qint64 lines = 0;
    while (!input.atEnd()) {
        input.readLineInto(&line);
        const QByteArray key = line.toUtf8();
        lookUp(key.constData());
        ++lines;
    }
    std::printf("%lld lines\n", static_cast<long long>(lines));
    return 0;
}
