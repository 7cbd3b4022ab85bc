// Fuzz target: arbitrary bytes as the strings file, run through the check loop with a small
// catalog installed, and the report and table compared with what they must be, worked out
// independently: the whole input decoded at once and split into lines, every line asked of
// the catalog itself, every report line and table row formatted from scratch. Then the same
// bytes through trcoverage's pass over several languages, checked the same way
// (coverage_check.cpp).
//
// The bytes are read twice: from a file-like device that hands over as much as is asked
// for, and from a pipe-like one that hands over a few bytes at a time, in pieces of varied
// sizes, and has nothing buffered in between. Both must give the same report and table.
//
// Any difference, like any crash, leak or out-of-bounds access, aborts the run.
#include "checkstrings.h"
#include "coverage_check.h"
#include "model.h"
#include "pipe.h"
#include "wholecharacters.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QTextStream>
#include <QTranslator>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Expected
{
    QByteArray report;
    QString table;
};

QTranslator *catalog;

// A line has a translation when the catalog answers its key with another text; a line that
// its key cannot carry whole (a NUL, a lone surrogate) is never looked up.
Expected expectedFor(const QList<QString> &lines)
{
    Expected expected;
    qint64 rows = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const bool lookupable = isLookupable(line);
        const QByteArray key = line.toUtf8();
        const QString translation =
            lookupable ? catalog->translate("QObject", key.constData(), key.constData())
                       : QString();
        const bool translated = !translation.isNull() && translation != line;
        expected.report += "=> " + QByteArray::number(i + 1).rightJustified(6) +
                           (translated ? "    OK: '" : " ERROR: '") + line.toLatin1() + "'\n";
        if (translated)
            expected.table += QString::number(++rows).rightJustified(6) +
                              QStringLiteral("   |||   ") + line.leftJustified(128) +
                              QStringLiteral("   |||   ") + translation + u'\n';
    }
    return expected;
}

// Names the first line that differs, in hex: the output may hold any byte.
[[noreturn]] void fail(const char *what, const QByteArray &got, const QByteArray &expected)
{
    const QList<QByteArray> gotLines = got.split('\n'), expectedLines = expected.split('\n');
    qsizetype line = 0;
    while (line < gotLines.size() && line < expectedLines.size() &&
           gotLines[line] == expectedLines[line])
        ++line;
    const auto shown = [line](const QList<QByteArray> &lines) {
        return line < lines.size() ? lines[line].left(200).toHex(' ') : QByteArray("(none)");
    };
    std::fprintf(stderr,
                 "%s differs at line %lld (%lld lines, %lld expected)\ngot:      %s\n"
                 "expected: %s\n",
                 what, static_cast<long long>(line + 1), static_cast<long long>(gotLines.size()),
                 static_cast<long long>(expectedLines.size()), shown(gotLines).constData(),
                 shown(expectedLines).constData());
    std::abort();
}

struct Result
{
    QByteArray report;
    QString table;
};

Result check(QIODevice &device)
{
    WholeCharacters characters(device);
    QTextStream input(&characters);
    Result result;
    QTextStream table(&result.table);
    char *reportData = nullptr;
    size_t reportSize = 0;
    std::FILE *report = open_memstream(&reportData, &reportSize);
    if (!report)
        std::abort();
    checkStrings(input, table, report);
    table.flush();
    std::fclose(report);
    result.report = QByteArray(reportData, qsizetype(reportSize));
    std::free(reportData);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Kept for the whole run, as the platform keeps its application object.
    static int argc = 1;
    static char name[] = "checkstrings_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    static QTranslator installed;
    catalog = &installed;
    if (!installed.load(QStringLiteral(FUZZ_CATALOG)) ||
        !QCoreApplication::installTranslator(&installed)) {
        std::fprintf(stderr, "cannot install %s\n", FUZZ_CATALOG);
        std::exit(1);
    }
    setUpCoverageCheck(QStringLiteral(FUZZ_CATALOGS));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    const Result got = check(file);

    const Expected expected = expectedFor(linesOf(bytes));
    if (got.report != expected.report)
        fail("report", got.report, expected.report);
    if (got.table != expected.table)
        fail("table", got.table.toUtf8(), expected.table.toUtf8());

    // Short reads of varied sizes, the cycle entered at a point the data chooses.
    Pipe pipe(bytes, {1, 3, 2, 7, 1, 4, 16, 5, 1, 2, 4093}, size_t(bytes.size()));
    const Result piped = check(pipe);
    if (piped.report != got.report)
        fail("report through a pipe", piped.report, got.report);
    if (piped.table != got.table)
        fail("table through a pipe", piped.table.toUtf8(), got.table.toUtf8());

    checkCoverage(bytes);
    return 0;
}
