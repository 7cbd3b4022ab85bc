#include "options.h"

#include "exitstatus.h"
#include "platformoptions.h"
#include "runfiles.h"

#include <zcatalogs.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <iterator>
#include <tuple>

namespace {

// "text|csv|json", "text, csv or json" and the like, from the formats' one table.
QByteArray formatList(const char *separator, const char *last, const char *afterFirst = "")
{
    QByteArray list;
    const size_t count = std::size(formats);
    for (size_t i = 0; i < count; ++i) {
        list += QByteArray(i == 0 ? "" : i + 1 == count ? last : separator) + formats[i].name;
        if (i == 0)
            list += afterFirst;
    }
    return list;
}

int usage(const char *program, const QByteArray &problem = QByteArray())
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "%s\n", problem.constData());
    std::fprintf(stderr,
                 "Usage:\n\t%s [-translations DIR] [-lang LOCALE]... [-missing] [-conflicts] "
                 "[-checks] [-max-width N] [-max-growth PERCENT] [-format %s] "
                 "[-fail-under PERCENT [-count-same]] [-fail-on-checks] [-html FILE] "
                 "Strings.txt\n",
                 program, formatList("|", "|").constData());
    return usageError;
}

// What --help and --version show; whether it reached standard output tells the status.
int show(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return done;
    sayCannotWriteOutput();
    return outputUnwritable;
}

// A whole number from 0 up, digits only; nothing else.
std::optional<quint64> wholeNumber(const QString &text)
{
    bool ok = false;
    const quint64 number = text.toULongLong(&ok);
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return ok ? std::optional<quint64>(number) : std::nullopt;
}

} // namespace

int readOptions(int argc, char **argv, CoverageOptions &options)
{
    const char *const program = argc > 0 ? argv[0] : "trcoverage";
    // The platform's options as the platform reads them, by their bytes.
    const PlatformOptions platform = takePlatformOptions(argc, argv);
    options.directory =
        platform.translations.isNull() ? ZCatalogs::defaultDirectory() : platform.translations;
    for (const QByteArray &value : platform.languages) {
        const QString name = QString::fromLocal8Bit(value);
        if (name.isEmpty())
            return usage(program, "-lang takes a language name, such as de or pt_BR.");
        if (!options.languages.contains(name))
            options.languages.append(name);
    }

    // The rest parsed byte for byte, one character per byte: the option names are ASCII, and
    // the values come back as the bytes typed.
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
        "5 a share below -fail-under, 6 no catalog in the directory, 7 a problem found\n"
        "with -fail-on-checks (5 before 7; 2 and 4 before both)."));
    // Taken out above; declared for the help text.
    parser.addOption({QStringLiteral("translations"),
                      QStringLiteral("The platform's catalog directory (default: %1).")
                          .arg(QFile::decodeName(ZCatalogs::defaultDirectory())),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("lang"),
                      QStringLiteral("A language to report, such as de or pt_BR; may be repeated "
                                     "(default: every language the directory has a catalog "
                                     "for)."),
                      QStringLiteral("LOCALE")});
    const QCommandLineOption missing(
        QStringLiteral("missing"),
        QStringLiteral("After the summary, every untranslated line of each language."));
    const QCommandLineOption conflicts(
        QStringLiteral("conflicts"),
        QStringLiteral("After the summary, every line that two or more components translate, "
                       "with each component's answer."));
    const QCommandLineOption checks(
        QStringLiteral("checks"),
        QStringLiteral("Check every translation against its line (placeholders, accelerator, "
                       "whitespace, punctuation, markup, and width with the limits below) and "
                       "list, after the summary, each translated line with problems."));
    const QCommandLineOption maxWidth(
        QStringLiteral("max-width"),
        QStringLiteral("A translation wider than N columns is a problem (width)."),
        QStringLiteral("N"));
    const QCommandLineOption maxGrowth(
        QStringLiteral("max-growth"),
        QStringLiteral("A translation wider than PERCENT of its line is a problem (growth)."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption format(
        QStringLiteral("format"), QString::fromLatin1(formatList(", ", " or ", " (default)") + '.'),
        QStringLiteral("FORMAT"), QString::fromLatin1(formats[0].name));
    const QCommandLineOption failUnder(
        QStringLiteral("fail-under"),
        QStringLiteral("Exit with status 5 when a language's share is below PERCENT (0 to 100)."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption countSame(
        QStringLiteral("count-same"),
        QStringLiteral("With -fail-under, count the lines kept the same on purpose (a catalog "
                       "answers them with themselves) as translated."));
    const QCommandLineOption failOnChecks(
        QStringLiteral("fail-on-checks"),
        QStringLiteral("Check every translation, and exit with status 7 when one has a "
                       "problem."));
    const QCommandLineOption html(
        QStringLiteral("html"),
        QStringLiteral("Also write the coverage as a page to FILE: one self-contained HTML file "
                       "with every line in every language, to open in a browser."),
        QStringLiteral("FILE"));
    parser.addOptions({missing, conflicts, checks, maxWidth, maxGrowth, format, failUnder,
                       countSame, failOnChecks, html});
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("Strings.txt"),
                                 QStringLiteral("One source string per line; a pipe works."));

    if (!parser.parse(arguments))
        return usage(program, parser.errorText().toLatin1());
    if (parser.isSet(help) || parser.isSet(version))
        return show(parser.isSet(help) ? parser.helpText()
                                       : QCoreApplication::applicationName() + u' ' +
                                             QCoreApplication::applicationVersion() + u'\n');
    if (parser.positionalArguments().size() != 1)
        return usage(program);

    const QByteArray formatName = parser.value(format).toLatin1();
    options.format = nullptr;
    for (const NamedFormat &named : formats) {
        if (formatName == named.name)
            options.format = &named;
    }
    if (!options.format)
        return usage(program,
                     "Unknown format '" + formatName + "': " + formatList(", ", " or ") + '.');
    if (parser.isSet(failUnder)) {
        options.failUnderText = parser.value(failUnder).toLatin1();
        options.failUnder = parsePercent(parser.value(failUnder));
        if (!options.failUnder)
            return usage(program, "-fail-under takes a number from 0 to 100, not '" +
                                      options.failUnderText + "'.");
    }
    for (const auto &[option, limit, what] :
         {std::tuple{&maxWidth, &options.limits.maxWidth, "a number of columns"},
          std::tuple{&maxGrowth, &options.limits.maxGrowth, "a whole percent"}}) {
        if (!parser.isSet(*option))
            continue;
        *limit = wholeNumber(parser.value(*option));
        if (!*limit)
            return usage(program, "-" + option->names().constFirst().toLatin1() + " takes " + what +
                                      ", not '" + parser.value(*option).toLatin1() + "'.");
    }
    options.shown.missing = parser.isSet(missing);
    options.shown.conflicts = parser.isSet(conflicts);
    options.shown.problems = parser.isSet(checks);
    options.failOnChecks = parser.isSet(failOnChecks);
    // A limit or a failing check is asked of every translation; only -checks lists them.
    options.shown.checked = options.shown.problems || options.failOnChecks ||
                            options.limits.maxWidth || options.limits.maxGrowth;
    options.countSame = parser.isSet(countSame);
    if (options.countSame && !options.failUnder)
        return usage(program, "-count-same goes with -fail-under.");
    if (parser.isSet(html))
        options.page = parser.value(html).toLatin1();
    options.strings = parser.positionalArguments().constFirst().toLatin1();
    return -1;
}
