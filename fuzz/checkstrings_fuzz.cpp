// Fuzz target: arbitrary bytes as the strings file, run once through the pass of both programs:
// trcheck's language (the toolkit's lookup, with a small catalog installed) with its report and
// table, and beside it several languages of the platform's catalogs as trcoverage asks them. The
// report and table are compared with what they must be, worked out independently (the whole
// input decoded at once and split into lines, every line asked of the catalog itself, every
// report line and table row formatted from scratch), and so is every language's outcome
// (coverage_check.cpp).
//
// The bytes are read through a pipe-like device that hands over pieces of varied sizes, from a
// byte to more than the reader asks for, the cycle entered at a point the data chooses, with
// nothing buffered in between. An input of more than one batch is looked up by two threads
// while the next batch is read, where a fault between threads can show.
//
// Any difference, like any crash, leak or out-of-bounds access, aborts the run.
#include "checkstrings.h"
#include "coverage_check.h"
#include "model.h"
#include "pass.h"
#include "pipe.h"
#include "report.h"
#include "table.h"
#include "wholecharacters.h"
#include "writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QTextStream>
#include <QThreadPool>
#include <QTranslator>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Expected
{
    QByteArray report;
    QByteArray table;
};

QTranslator *catalog;
PassHeader header;
QThreadPool *pool;
constexpr int batchLines = 3;

// A line has a translation when the catalog answers its key with another text; a line that
// its key cannot carry whole (a NUL, a lone surrogate) is never looked up.
Expected expectedFor(const QList<QString> &lines)
{
    Expected expected;
    QString table;
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
            table += QString::number(++rows).rightJustified(6) + QStringLiteral("   |||   ") +
                     line.leftJustified(128) + QStringLiteral("   |||   ") + translation + u'\n';
    }
    expected.table = table.toUtf8();
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
    static const ToolkitLookup toolkit;
    header.languages.push_back({QString(), &toolkit});
    setUpCoverageCheck(QStringLiteral(FUZZ_CATALOGS), header);
    // Kept too, so that its threads are started once.
    static QThreadPool threads;
    threads.setMaxThreadCount(2);
    pool = &threads;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QString> lines = linesOf(bytes);

    Pipe pipe(bytes, {1, 3, 2, 7, 1, 4, 16, 5, 1, 2, 4093, 1 << 20}, size_t(bytes.size()));
    WholeCharacters characters(pipe);
    QTextStream input(&characters);
    QBuffer reportDevice, tableDevice;
    reportDevice.open(QIODevice::WriteOnly);
    tableDevice.open(QIODevice::WriteOnly);
    Writer reportWriter(reportDevice), tableWriter(tableDevice);
    ReportOutput report(reportWriter);
    TableOutput table(tableWriter);
    CoverageRecord coverage(1);
    PassOptions options;
    options.pool = lines.size() > batchLines ? pool : nullptr;
    options.batchLines = batchLines;
    runPass(input, header, {&report, &table, &coverage}, options);
    reportWriter.finish();
    tableWriter.finish();

    const Expected expected = expectedFor(lines);
    if (reportDevice.data() != expected.report)
        fail("report", reportDevice.data(), expected.report);
    if (tableDevice.data() != expected.table)
        fail("table", tableDevice.data(), expected.table);
    const QString wanted = expectedCoverage(lines);
    if (coverage.text != wanted)
        fail("coverage", coverage.text.toUtf8(), wanted.toUtf8());
    return 0;
}
