// Writes a coverage page from a data set, record by record, as a run feeds the page: the
// browser tests and the benchmark make their data sets (hostile texts, any size) and compare
// the page the browser shows with them.
//
// usage: page_feed DATASET PAGE
// DATASET, one record a line, fields split by single spaces; a text is "x" and the hex of its
// UTF-16LE code units (so that NULs and lone surrogates come through), a name "x" and the hex
// of its bytes:
//   start STRINGS_FILE DIRECTORY MADE CHECKS LANGUAGE...  MADE in ISO 8601; CHECKS "-" for a
//                                                       run that does not check, else
//                                                       MAX_WIDTH/MAX_GROWTH, each "-" for none
//   line NUMBER TEXT STATES ANSWER...                   STATES a letter per language: y
//                                                       translated, n not, s kept the same,
//                                                       capital: conflict; ANSWER per language,
//                                                       "-" for none, a translation's followed
//                                                       by ":" and its problems' bits if any
//   finish TRANSLATED/UNTRANSLATED/SAME/FLAGGED...      per language
// Exit status: 0 written, 1 usage, 2 data set unreadable or malformed, 4 page not written whole.

#include "page.h"
#include "writer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <optional>

namespace {

bool unhex(QByteArrayView field, QByteArray &bytes)
{
    if (field.isEmpty() || field[0] != 'x' || field.size() % 2 == 0)
        return false;
    bytes = QByteArray::fromHex(field.sliced(1).toByteArray());
    return bytes.size() * 2 == field.size() - 1;
}

// A limit of the checks: a number, or "-" for none.
bool limit(QByteArrayView field, std::optional<quint64> &out)
{
    if (field == "-")
        return true;
    bool ok = false;
    out = field.toULongLong(&ok);
    return ok;
}

bool text(QByteArrayView field, QString &out)
{
    QByteArray bytes;
    if (!unhex(field, bytes) || bytes.size() % 2)
        return false;
    out.resize(bytes.size() / 2);
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATASET PAGE\n", argv[0]);
        return 1;
    }
    QFile data(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!data.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 4;
    }

    Writer writer(out);
    std::optional<CoveragePage> page;
    std::vector<Outcome> outcomes;
    qsizetype languages = 0;
    qint64 record = 0;
    QByteArray row;
    auto malformed = [&] {
        std::fprintf(stderr, "%s: record %lld is malformed\n", argv[1], record);
        return 2;
    };
    while (!(row = data.readLine()).isEmpty()) {
        ++record;
        const QList<QByteArray> fields = row.trimmed().split(' ');
        const QByteArray &kind = fields[0];
        if (kind == "start" && fields.size() >= 5) {
            QByteArray strings, directory;
            PassHeader header;
            if (!unhex(fields[1], strings) || !unhex(fields[2], directory))
                return malformed();
            header.directory = directory;
            std::optional<CheckLimits> checks;
            if (fields[4] != "-") {
                const QList<QByteArray> limits = fields[4].split('/');
                checks.emplace();
                if (limits.size() != 2 || !limit(limits[0], checks->maxWidth) ||
                    !limit(limits[1], checks->maxGrowth))
                    return malformed();
            }
            for (qsizetype i = 5; i < fields.size(); ++i) {
                QString name;
                if (!text(fields[i], name))
                    return malformed();
                header.languages.push_back({name, nullptr});
            }
            languages = qsizetype(header.languages.size());
            outcomes.resize(size_t(languages));
            page.emplace(writer, strings,
                         QDateTime::fromString(QString::fromLatin1(fields[3]), Qt::ISODate),
                         checks);
            page->begin(header);
        } else if (page && kind == "line" && fields.size() == 4 + languages) {
            QString line;
            bool numbered = false;
            const qint64 number = fields[1].toLongLong(&numbered);
            const QByteArray &states = fields[3];
            if (!numbered || !text(fields[2], line) || states.size() != languages)
                return malformed();
            for (qsizetype i = 0; i < languages; ++i) {
                const char state = states[i];
                Outcome &outcome = outcomes[size_t(i)];
                outcome.translated = state == 'y' || state == 'Y';
                outcome.same = state == 's' || state == 'S';
                outcome.differs = state == 'Y' || state == 'N' || state == 'S';
                outcome.problems = 0;
                const QList<QByteArray> answer = fields[4 + i].split(':');
                bool ok = answer.size() <= 2;
                if (ok && answer.size() == 2) {
                    const uint bits = answer[1].toUInt(&ok);
                    ok = ok && bits < 128;
                    outcome.problems = quint8(bits);
                }
                if (ok && answer[0] == "-")
                    outcome.answer.clear();
                else if (!ok || !text(answer[0], outcome.answer))
                    return malformed();
            }
            page->addLine({number, line, {}, nullptr, outcomes.data(), 1});
        } else if (page && kind == "finish" && fields.size() == 1 + languages) {
            PassTotals totals;
            for (qsizetype i = 0; i < languages; ++i) {
                const QList<QByteArray> counts = fields[1 + i].split('/');
                bool ok = counts.size() == 4;
                qint64 values[4] = {};
                for (int k = 0; ok && k < 4; ++k)
                    values[k] = counts[k].toLongLong(&ok);
                if (!ok)
                    return malformed();
                totals.translated.push_back(values[0]);
                totals.same.push_back(values[2]);
                totals.problems.push_back(values[3]);
                // The page shows the untranslated lines as lines less translated ones.
                totals.lines = values[0] + values[1];
            }
            page->end(totals);
            const bool written = writer.finish() && out.flush();
            out.close();
            if (!written || out.error() != QFile::NoError) {
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
                return 4;
            }
            return 0;
        } else {
            return malformed();
        }
    }
    std::fprintf(stderr, "%s: no finish record\n", argv[1]);
    return 2;
}
