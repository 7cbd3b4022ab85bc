// trcoverage: how much of a strings file the platform translates in every language at once,
// which lines are missing where, and where components answer the same text differently.
#include "cataloglookup.h"
#include "exitstatus.h"
#include "options.h"
#include "page.h"
#include "pass.h"
#include "runfiles.h"
#include "wholecharacters.h"
#include "writer.h"

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// The checks of every translation under the run's limits, a line's facts found once for all its
// languages.
class Checks final : public TranslationCheck
{
  public:
    explicit Checks(const CheckLimits &limits) : limits(limits) {}

    std::unique_ptr<Line> newLine() const override { return std::make_unique<Facts>(); }
    void readLine(QStringView text, Line &line) const override
    {
        static_cast<Facts &>(line).facts = lineFacts(text, limits);
    }
    quint8 check(const Line &line, QStringView translation) const override
    {
        return quint8(
            checkTranslation(static_cast<const Facts &>(line).facts, translation, limits).toInt());
    }

  private:
    struct Facts : Line
    {
        TextFacts facts;
    };
    const CheckLimits limits;
};

// The languages' messages about their catalogs, each line once: a broken catalog is a
// candidate for several languages (de_DE falls back to de).
void sayNotices(const std::vector<std::unique_ptr<CatalogLookup>> &lookups)
{
    QSet<QByteArray> said;
    for (const auto &lookup : lookups) {
        for (const QByteArray &line : lookup->notice().split('\n')) {
            if (line.isEmpty() || said.contains(line))
                continue;
            said.insert(line);
            std::fprintf(stderr, "%s\n", line.constData());
        }
    }
}

// The languages the threshold puts below it, as the message lists them; empty when none.
QByteArray below(const PassHeader &header, const PassTotals &totals, const Percent &threshold,
                 bool countSame)
{
    QByteArray list;
    for (size_t i = 0; i < header.languages.size(); ++i) {
        const qint64 counted = totals.translated[i] + (countSame ? totals.same[i] : 0);
        if (isBelow(counted, totals.lines, threshold))
            list += (list.isEmpty() ? "" : ", ") + header.languages[i].name.toUtf8() + ' ' +
                    shareText(counted, totals.lines) + '%';
    }
    return list;
}

// The languages with translations that have problems, and how many, as the message lists them;
// empty when none.
QByteArray flagged(const PassHeader &header, const PassTotals &totals)
{
    QByteArray list;
    for (size_t i = 0; i < header.languages.size(); ++i) {
        if (totals.problems[i] > 0)
            list += (list.isEmpty() ? "" : ", ") + header.languages[i].name.toUtf8() + ' ' +
                    QByteArray::number(totals.problems[i]);
    }
    return list;
}

int runCoverage(const CoverageOptions &options)
{
    QFile strings;
    struct stat stringsStatus;
    if (!openStrings(strings, options.strings.constData(), stringsStatus)) {
        sayCannotOpen(options.strings.constData());
        return stringsUnreadable;
    }

    // Every line would look untranslated in every language: that is no coverage to report.
    const QStringList available = ZCatalogs::languages(options.directory);
    if (available.isEmpty()) {
        std::fprintf(stderr, "No catalog in '%s'.\n", options.directory.constData());
        return noCatalog;
    }
    std::vector<std::unique_ptr<CatalogLookup>> lookups;
    PassHeader header{options.directory, {}};
    for (const QString &name : options.languages.isEmpty() ? available : options.languages) {
        lookups.push_back(std::make_unique<CatalogLookup>(options.directory, name));
        header.languages.push_back({name, lookups.back().get()});
    }
    sayNotices(lookups);

    // The page is opened (and emptied) only once the run is known to go ahead, and never over
    // the strings file or where standard output goes.
    QFile pageFile;
    std::optional<Writer> pageWriter;
    std::optional<CoveragePage> page;
    if (!options.page.isNull()) {
        if (!openOutput(pageFile, options.page.constData(), stringsStatus)) {
            sayCannotOpenForWrite(options.page.constData());
            return outputUnwritable;
        }
        pageWriter.emplace(pageFile);
        page.emplace(*pageWriter, options.strings, QDateTime::currentDateTime(),
                     options.shown.checked ? std::optional(options.limits) : std::nullopt);
    }

    // The formats write once the pass is done: a terminal gets them as any other file.
    QFile standardOutput;
    openStandardOutput(standardOutput);
    Writer out(standardOutput);
    FormatOutput format(out, options.shown, options.format->write);
    QList<Output *> outputs{&format};
    if (page)
        outputs.append(&*page);

    // A thread per language, up to one per core, while this one reads.
    QThreadPool pool;
    pool.setMaxThreadCount(std::min(qsizetype(std::max(QThread::idealThreadCount(), 1)),
                                    qsizetype(header.languages.size())));
    PassOptions passOptions;
    passOptions.pool = &pool;
    const Checks checks(options.limits);
    if (options.shown.checked)
        passOptions.check = &checks;
    PassTotals totals;
    {
        WholeCharacters characters(strings);
        QTextStream input(&characters);
        totals = runPass(input, header, outputs, passOptions);
    }
    const bool read = finishStrings(strings);
    const bool pageWritten = !page || (pageWriter->finish() && finishOutput(pageFile));

    // The output goes out before any message, so that the two keep their order when merged.
    const bool written = out.finish();
    if (!read) {
        sayCannotRead(options.strings.constData());
        return stringsUnreadable;
    }
    if (!pageWritten)
        sayCannotWrite(options.page.constData());
    if (!written)
        sayCannotWriteOutput();
    if (!pageWritten || !written)
        return outputUnwritable;
    // Each gate says what fails it; the threshold's status comes first.
    int status = done;
    if (options.failUnder) {
        const QByteArray languages = below(header, totals, *options.failUnder, options.countSame);
        if (!languages.isEmpty()) {
            std::fprintf(stderr, "Below %s%%: %s.\n", options.failUnderText.constData(),
                         languages.constData());
            status = belowThreshold;
        }
    }
    if (options.failOnChecks) {
        const QByteArray languages = flagged(header, totals);
        if (!languages.isEmpty()) {
            std::fprintf(stderr, "Translations with problems: %s.\n", languages.constData());
            if (status == done)
                status = problemsFound;
        }
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    // An output reader that stops early (head) must not end the run unannounced: the failed
    // output is told by the exit status.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trcoverage"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRCHECK_VERSION));

    CoverageOptions options;
    const int status = readOptions(argc, argv, options);
    return status >= 0 ? status : runCoverage(options);
}
