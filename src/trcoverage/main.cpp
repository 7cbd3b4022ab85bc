// trcoverage: how much of a strings file the platform translates in every language at once,
// which lines are missing where, and where components answer the same text differently.
#include "findings.h"
#include "htmlformat.h"
#include "pass.h"
#include "runfiles.h"
#include "share.h"
#include "wholecharacters.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

// The exit statuses beside 0; 1, 2 and 4 mean what they mean for trcheck.
enum Status {
    usageError = 1,
    stringsUnreadable = 2,
    outputUnwritable = 4,
    belowThreshold = 5,
    noCatalog = 6,
};

const char usageText[] = "Usage:\n\t%s [-translations DIR] [-lang LOCALE]... [-missing] "
                         "[-conflicts] [-format text|csv|json] [-fail-under PERCENT] "
                         "[-html FILE] Strings.txt\n";

int usage(const char *program, const QByteArray &problem = QByteArray())
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "%s\n", problem.constData());
    std::fprintf(stderr, usageText, program);
    return usageError;
}

// The languages' messages about their catalogs, each line once: a broken catalog is a
// candidate for several languages (de_DE falls back to de).
void sayNotices(const std::vector<Language> &languages)
{
    QList<QByteArray> said;
    for (const Language &language : languages) {
        for (const QByteArray &line : language.catalogs->notice().split('\n')) {
            if (line.isEmpty() || said.contains(line))
                continue;
            said.append(line);
            std::fprintf(stderr, "%s\n", line.constData());
        }
    }
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
    const char *const program = argc > 0 ? argv[0] : "trcoverage";

    // Parsed byte for byte, one character per byte: the option names are ASCII, and the values
    // come back as the bytes typed (a directory name need not be valid UTF-8).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLatin1(argv[i]));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The parser prints the description as it is: wrapped here for 80 columns.
    parser.setApplicationDescription(QStringLiteral(
        "How much of a strings file the platform translates in every language at once: the\n"
        "lines, the catalog directory, and per language the lines translated and\n"
        "untranslated, the share translated and a bar. A line counts as translated exactly\n"
        "when trcheck -lang LOCALE reports it OK. Options take one dash or two.\n"
        "Exit status: 0 done, 1 usage, 2 strings file unreadable, 4 output unwritable,\n"
        "5 a share below -fail-under, 6 no catalog in the directory."));
    const QCommandLineOption translations(
        QStringLiteral("translations"),
        QStringLiteral("The platform's catalog directory (default: %1).")
            .arg(QFile::decodeName(ZCatalogs::defaultDirectory())),
        QStringLiteral("DIR"));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("A language to report, such as de or pt_BR; "
                                                 "may be repeated (default: every language the "
                                                 "directory has a catalog for)."),
                                  QStringLiteral("LOCALE"));
    const QCommandLineOption missing(
        QStringLiteral("missing"),
        QStringLiteral("After the summary, every untranslated line of each language."));
    const QCommandLineOption conflicts(
        QStringLiteral("conflicts"),
        QStringLiteral("After the summary, every line that two or more components translate, "
                       "with each component's answer."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("text (default), csv or json."),
                                    QStringLiteral("FORMAT"), QStringLiteral("text"));
    const QCommandLineOption failUnder(
        QStringLiteral("fail-under"),
        QStringLiteral("Exit with status 5 when a language's share is below PERCENT (0 to 100)."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption html(
        QStringLiteral("html"),
        QStringLiteral("Also write the coverage as a page to FILE: one self-contained HTML file "
                       "with every line in every language, to open in a browser."),
        QStringLiteral("FILE"));
    parser.addOptions({translations, lang, missing, conflicts, format, failUnder, html});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("Strings.txt"),
                                 QStringLiteral("One source string per line; a pipe works."));

    if (!parser.parse(arguments))
        return usage(program, parser.errorText().toLatin1());
    // --help-all adds the toolkit's own options, of which QtCore has none.
    if (parser.isSet(help) || parser.optionNames().contains(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.positionalArguments().size() != 1)
        return usage(program);
    const QString formatName = parser.value(format);
    if (formatName != u"text" && formatName != u"csv" && formatName != u"json")
        return usage(program, "Unknown format '" + formatName.toLatin1() + "': text, csv or json.");
    std::optional<Percent> threshold;
    if (parser.isSet(failUnder)) {
        threshold = parsePercent(parser.value(failUnder));
        if (!threshold)
            return usage(program, "-fail-under takes a number from 0 to 100, not '" +
                                      parser.value(failUnder).toLatin1() + "'.");
    }
    // Languages as ZApplication's -lang takes them; in the order given, each once.
    QStringList names;
    for (const QString &value : parser.values(lang)) {
        const QString name = QString::fromLocal8Bit(value.toLatin1());
        if (name.isEmpty())
            return usage(program, "-lang takes a language name, such as de or pt_BR.");
        if (!names.contains(name))
            names.append(name);
    }
    const QByteArray directory = parser.isSet(translations) ? parser.value(translations).toLatin1()
                                                            : ZCatalogs::defaultDirectory();
    const QByteArray path = parser.positionalArguments().constFirst().toLatin1();

    QFile strings;
    struct stat stringsStatus;
    if (!openStrings(strings, path.constData(), stringsStatus)) {
        sayCannotOpen(path.constData());
        return stringsUnreadable;
    }

    // Every line would look untranslated in every language: that is no coverage to report.
    const QStringList available = ZCatalogs::languages(directory);
    if (available.isEmpty()) {
        std::fprintf(stderr, "No catalog in '%s'.\n", directory.constData());
        return noCatalog;
    }
    std::vector<Language> languages;
    for (const QString &name : names.isEmpty() ? available : names)
        languages.push_back({name, std::make_unique<ZCatalogs>(directory, name)});
    sayNotices(languages);

    // The page is opened (and emptied) only once the run is known to go ahead, and never over
    // the strings file or where standard output goes.
    const QByteArray pagePath = parser.value(html).toLatin1();
    QFile pageFile;
    std::optional<HtmlOutput> page;
    if (parser.isSet(html)) {
        if (!openOutput(pageFile, pagePath.constData(), stringsStatus)) {
            sayCannotOpenForWrite(pagePath.constData());
            return outputUnwritable;
        }
        page.emplace(pageFile, path, QDateTime::currentDateTime());
    }

    Findings findings(parser.isSet(missing), parser.isSet(conflicts));
    CoverageHeader header{directory, &languages};
    // The page shows each translation, and marks where another component answers otherwise.
    header.componentsAsked = parser.isSet(conflicts) || page;
    header.answersKept = bool(page);
    PassOptions options;
    options.threads = defaultThreads(qsizetype(languages.size()));
    QList<CoverageOutput *> outputs{&findings};
    if (page)
        outputs.append(&*page);
    {
        WholeCharacters characters(strings);
        QTextStream input(&characters);
        runPass(input, header, outputs, options);
    }
    const bool read = finishStrings(strings);
    const bool pageWritten = !page || (finishOutput(pageFile) && page->written());

    if (formatName == u"csv")
        writeCsv(findings, stdout);
    else if (formatName == u"json")
        writeJson(findings, stdout);
    else
        writeText(findings, stdout);

    // The output goes out before any message, so that the two keep their order when merged.
    const bool written = finishStandardOutput();
    if (!read) {
        sayCannotRead(path.constData());
        return stringsUnreadable;
    }
    if (!pageWritten)
        sayCannotWrite(pagePath.constData());
    if (!written)
        sayCannotWriteOutput();
    if (!pageWritten || !written)
        return outputUnwritable;
    if (threshold) {
        QByteArray below;
        for (qsizetype i = 0; i < findings.languages.size(); ++i) {
            const qint64 translated = findings.totals.translated[size_t(i)];
            if (isBelow(translated, findings.totals.lines, *threshold))
                below += (below.isEmpty() ? "" : ", ") + findings.languages[i].toUtf8() + ' ' +
                         shareText(translated, findings.totals.lines) + '%';
        }
        if (!below.isEmpty()) {
            std::fprintf(stderr, "Below %s%%: %s.\n",
                         parser.value(failUnder).toLatin1().constData(), below.constData());
            return belowThreshold;
        }
    }
    return 0;
}
