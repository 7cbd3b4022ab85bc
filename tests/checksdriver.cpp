// Checks every pair of a file and prints what the checks say, for the differential test
// against the model (tests/checksmodel.py reads the same pairs and prints the same lines) and
// for the benchmark.
//
// usage: checks_driver [-max-width N] [-max-growth PERCENT] [-repeat COUNT] [-line-once] PAIRS
// PAIRS, one pair a line: the source line and its translation, each "x" and the hex of its
// UTF-16LE code units (so that any text comes through), split by a space.
// Prints, one line a pair: the line's display width, the translation's, and the problems'
// names split by commas ("-" for none). -repeat checks every pair COUNT times over and prints
// once, so that the cost of the checks can be told from the cost of reading; with -line-once,
// each line's facts are found once before, as for a line translated into many languages.
// Exit status: 0 checked, 1 usage, 2 pairs unreadable or malformed.

#include "checks.h"

#include <QFile>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool text(QByteArrayView field, QString &out)
{
    if (field.isEmpty() || field[0] != 'x' || field.size() % 4 != 1)
        return false;
    const QByteArray bytes = QByteArray::fromHex(field.sliced(1).toByteArray());
    if (bytes.size() * 2 != field.size() - 1)
        return false;
    out.resize(bytes.size() / 2);
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    return true;
}

bool number(const char *text, quint64 &value)
{
    bool ok = false;
    value = QByteArray(text).toULongLong(&ok);
    return ok && text[0] >= '0' && text[0] <= '9';
}

} // namespace

int main(int argc, char **argv)
{
    CheckLimits limits;
    quint64 repeat = 1;
    bool lineOnce = false, usage = false;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; ++i) {
        quint64 value = 0;
        if (std::strcmp(argv[i], "-line-once") == 0)
            lineOnce = true;
        else if (!number(argv[++i], value))
            usage = true;
        else if (std::strcmp(argv[i - 1], "-max-width") == 0)
            limits.maxWidth = value;
        else if (std::strcmp(argv[i - 1], "-max-growth") == 0)
            limits.maxGrowth = value;
        else if (std::strcmp(argv[i - 1], "-repeat") == 0 && value > 0)
            repeat = value;
        else
            usage = true;
    }
    if (usage || i != argc - 1) {
        std::fprintf(stderr,
                     "usage: %s [-max-width N] [-max-growth PERCENT] [-repeat COUNT] [-line-once] "
                     "PAIRS\n",
                     argv[0]);
        return 1;
    }
    const char *path = argv[i];
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    QList<std::pair<QString, QString>> pairs;
    const QByteArray data = file.readAll();
    for (const QByteArray &record : data.split('\n')) {
        if (record.isEmpty())
            continue;
        const qsizetype space = record.indexOf(' ');
        std::pair<QString, QString> pair;
        if (space < 0 || !text(QByteArrayView(record).first(space), pair.first) ||
            !text(QByteArrayView(record).sliced(space + 1), pair.second)) {
            std::fprintf(stderr, "malformed pair: %.*s\n", int(record.size()), record.data());
            return 2;
        }
        pairs.append(std::move(pair));
    }

    QList<Problems> found(pairs.size());
    if (lineOnce) {
        std::vector<TextFacts> lines;
        lines.reserve(size_t(pairs.size()));
        for (const auto &pair : pairs)
            lines.push_back(lineFacts(pair.first, limits));
        for (quint64 round = 0; round < repeat; ++round) {
            for (qsizetype i = 0; i < pairs.size(); ++i)
                found[i] = checkTranslation(lines[size_t(i)], pairs[i].second, limits);
        }
    } else {
        for (quint64 round = 0; round < repeat; ++round) {
            for (qsizetype i = 0; i < pairs.size(); ++i)
                found[i] =
                    checkTranslation(lineFacts(pairs[i].first, limits), pairs[i].second, limits);
        }
    }
    QByteArray out;
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        out += QByteArray::number(displayWidth(pairs[i].first)) + ' ' +
               QByteArray::number(displayWidth(pairs[i].second)) + ' ';
        const qsizetype start = out.size();
        for (const ProblemName &entry : problemNames) {
            if (found[i] & entry.problem)
                out += (out.size() > start ? "," : "") + QByteArray(entry.name);
        }
        out += out.size() > start ? "\n" : "-\n";
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
}
