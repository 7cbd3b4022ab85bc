// Differential check of the platform's catalog lookup against the toolkit's own: one
// QTranslator per component, installed so that the component whose name sorts first answers.
// usage:
//   catalog_diff write SEED DIR      random components: DIR/NAME_de.ts, DIR/deps/common_de.ts,
//                                    DIR/compressed.txt (names to compile with -compress),
//                                    DIR/lookups.txt (the texts to look up)
//   catalog_diff depend DIR          after lrelease: gives the catalogs named in DIR/depend.txt
//                                    a dependency on deps/common_de.qm
//   catalog_diff answers platform|reference DIR   every lookup's answers, one line each
//   catalog_diff check DIR           the program's report on stdout and its table in
//                                    DIR/reference_Table.txt, with the toolkit's own lookup
//   catalog_diff languages SEED DIR  random components in several languages: DIR/NAME_LOCALE.ts,
//                                    DIR/locales.txt (the locales written, sorted),
//                                    DIR/components.txt and DIR/Strings.txt (the input)
//   catalog_diff coverage DIR JSON LANGUAGE...   compares trcoverage -format json -missing
//                                    -conflicts (JSON, naming exactly the languages given)
//                                    with DIR/report-LANGUAGE.txt, trcheck's report for each,
//                                    and with one QTranslator per component catalog
#include "checkstrings.h"
#include "model.h"
#include "platform.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Random
{
    std::uint64_t state;
    explicit Random(std::uint64_t seed) : state(seed * 0x9e3779b97f4a7c15u + 1) {}
    std::uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
};

const char *const words[] = {"Open", "file", "Save", "the",     "folder", "Größe", "café",
                             "now",  "all",  "Send", "message", "later",  "Ä",     "ok"};

bool writeFile(const QString &path, const std::string &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), qint64(text.size())) == qint64(text.size()) && file.flush();
}

std::string message(const std::string &source, const char *comment, const std::string &text,
                    bool plural)
{
    std::string m = plural ? "<message numerus=\"yes\"><source>" : "<message><source>";
    m += source + "</source>";
    if (comment)
        m += std::string("<comment>") + comment + "</comment>";
    if (plural)
        m += "<translation><numerusform>" + text + " (1)</numerusform><numerusform>" + text +
             " (n)</numerusform></translation>";
    else
        m += "<translation>" + text + "</translation>";
    return m + "</message>\n";
}

std::string catalog(const std::string &contexts, const std::string &language = "de")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
           "<TS version=\"2.1\" language=\"" +
           language + "\">\n" + contexts + "</TS>\n";
}

std::string context(const char *name, const std::string &messages)
{
    return std::string("<context><name>") + name + "</name>\n" + messages + "</context>\n";
}

// A component's entries for the texts, each taken with the chance given (percent) and
// translated as translated() says, filed one of the ways a catalog may file it: without a
// comment, with the text as its comment, both (the one with the comment answers), or only in
// another context, where its hash finds it and its context rejects it. Now and then a plural
// entry, which answers with its first form.
std::string entries(Random &random, const std::vector<std::string> &texts, int percent,
                    const std::function<std::string(const std::string &)> &translated)
{
    std::string own, other;
    for (size_t i = 0; percent > 0 && i < texts.size(); ++i) {
        const std::string &source = texts[i];
        if (!random.chance(percent))
            continue;
        const std::string text = translated(source);
        const bool plural = random.chance(10);
        switch (random.below(4)) {
        case 0:
            own += message(source, nullptr, text, plural);
            break;
        case 1:
            own += message(source, source.c_str(), text + " [c]", plural);
            break;
        case 2:
            own += message(source, nullptr, text, plural) +
                   message(source, source.c_str(), text + " [c]", plural);
            break;
        default:
            other += message(source, nullptr, text + " [other]", plural);
            break;
        }
    }
    std::string contexts = own.empty() ? "" : context("QObject", own);
    if (!other.empty())
        contexts += context("Other", other);
    return contexts;
}

// Texts shared by the components, each translated differently by each; a quarter of the
// lookups are texts no component holds. Seed 1 makes one component, seed 2 two hundred.
int write(std::uint64_t seed, const QString &dir)
{
    Random random(seed);
    const int count = seed == 1 ? 1 : seed == 2 ? 200 : 1 + random.below(200);
    std::vector<std::string> texts;
    for (int i = 0; i < 60; ++i) {
        std::string text = words[random.below(sizeof words / sizeof *words)];
        for (int w = random.below(4); w > 0; --w)
            text += std::string(" ") + words[random.below(sizeof words / sizeof *words)];
        texts.push_back(text + " " + std::to_string(i));
    }

    const char *const prefixes[] = {"app", "net", "media", "ui", "core", "sys_tools", "a"};
    std::set<std::string> names;
    while (int(names.size()) < count)
        names.insert(prefixes[random.below(sizeof prefixes / sizeof *prefixes)] +
                     std::to_string(random.below(1000)));

    std::string compressed, depend, components;
    for (const std::string &name : names) {
        components += name + "\n";
        // Now and then a component with an empty catalog, which must not stop the others.
        const bool empty = count > 1 && random.chance(3);
        const std::string contexts =
            entries(random, texts,
                    empty        ? 0
                    : count > 20 ? 8
                                 : 30,
                    [&name](const std::string &source) { return name + ": " + source; });
        if (!writeFile(dir + "/" + QString::fromStdString(name) + "_de.ts", catalog(contexts)))
            return 2;
        if (random.chance(20))
            compressed += name + "\n";
        if (!empty && random.chance(5))
            depend += name + "\n";
    }

    // What only the dependency holds answers through the catalogs that depend on it.
    std::string shared;
    for (int i = 0; i < int(texts.size()); i += 7)
        shared +=
            message(texts[std::size_t(i)], nullptr, "common: " + texts[std::size_t(i)], false);
    shared += message("Only in the dependency", nullptr, "Nur in der Abhängigkeit", false);
    texts.push_back("Only in the dependency");

    std::string lookups;
    for (const std::string &text : texts)
        lookups += text + "\n";
    for (int i = 0; i < 20; ++i)
        lookups += "Untranslated " + std::to_string(i) + " " + texts[std::size_t(i)] + "\n";
    return QDir(dir).mkpath(QStringLiteral("deps")) &&
                   writeFile(dir + "/deps/common_de.ts", catalog(context("QObject", shared))) &&
                   writeFile(dir + "/compressed.txt", compressed) &&
                   writeFile(dir + "/depend.txt", depend) &&
                   writeFile(dir + "/components.txt", components) &&
                   writeFile(dir + "/lookups.txt", lookups)
               ? 0
               : 2;
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Appends a dependencies section, as QTranslator reads it, to each catalog named.
int depend(const QString &dir)
{
    for (const QString &name : lines(dir + "/depend.txt")) {
        QByteArray names, section(1, char(0x96));
        {
            QDataStream stream(&names, QIODevice::WriteOnly);
            stream << QStringLiteral("deps/common_de");
        }
        {
            QDataStream stream(&section, QIODevice::Append);
            stream << quint32(names.size());
        }
        QFile file(dir + "/" + name + "_de.qm");
        if (!file.open(QIODevice::Append) ||
            file.write(section + names) != section.size() + names.size())
            return 2;
    }
    return 0;
}

// The toolkit's own way: every component's catalog installed on its own, the one whose name
// sorts first last, so that it is asked first.
std::vector<std::unique_ptr<QTranslator>> installOneByOne(const QString &dir)
{
    QStringList names = lines(dir + "/components.txt");
    std::sort(names.begin(), names.end(), std::greater<QString>());
    std::vector<std::unique_ptr<QTranslator>> installed;
    for (const QString &name : names) {
        auto catalog = std::make_unique<QTranslator>();
        if (catalog->load(QLocale(QStringLiteral("de")), name, QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(catalog.get());
            installed.push_back(std::move(catalog));
        }
    }
    return installed;
}

// Every way the toolkit is asked: as the program asks, without a comment, in another context,
// and for plural forms.
void printAnswers(const QString &dir)
{
    for (const QString &text : lines(dir + "/lookups.txt")) {
        const QByteArray key = text.toUtf8();
        const QString answers[] = {
            lookUp(key.constData()),
            QCoreApplication::translate("QObject", key.constData()),
            QCoreApplication::translate("Other", key.constData()),
            QCoreApplication::translate("Other", key.constData(), key.constData()),
            QCoreApplication::translate("QObject", key.constData(), key.constData(), 1),
            QCoreApplication::translate("QObject", key.constData(), nullptr, 5),
        };
        QByteArray line = key;
        for (const QString &answer : answers)
            line += " | " + answer.toUtf8();
        std::printf("%s\n", line.constData());
    }
}

// Components in several languages: texts shared between them, each translated by some in
// their own words, by some alike and by some as the text itself; plural entries, comments and
// other contexts as above; empty catalogs; pt and pt_BR side by side, so that pt_BR falls back
// per component. The input holds the texts, texts no catalog holds, and what the reader must
// get right: CR LF, a lone CR, a line led by U+FEFF, a NUL, a broken byte, an empty line, a
// leading byte-order mark (every third seed) and no final line feed. Seed 3 repeats it past
// several of trcoverage's batches.
int writeLanguages(std::uint64_t seed, const QString &dir)
{
    Random random(seed + 1000);
    const char *const locales[] = {"de", "fr", "pt", "pt_BR", "sv", "es"};
    const char *const prefixes[] = {"Zed", "app", "net", "sys_tools", "media", "a"};
    std::set<std::string> names;
    const int count = seed == 1 ? 1 : 2 + random.below(12);
    while (int(names.size()) < count)
        names.insert(prefixes[random.below(6)] + std::to_string(random.below(100)));
    std::vector<std::string> texts;
    for (int i = 0; i < 40; ++i)
        texts.push_back(words[random.below(sizeof words / sizeof *words)] + std::string(" ") +
                        words[random.below(sizeof words / sizeof *words)] + " " +
                        std::to_string(i));

    std::set<std::string> written;
    std::string components;
    for (const std::string &name : names) {
        components += name + "\n";
        for (const char *locale : locales) {
            if (!random.chance(60))
                continue;
            const std::string contexts =
                entries(random, texts, random.chance(5) ? 0 : 35, [&](const std::string &source) {
                    const int choice = random.below(10);
                    return choice < 2    ? std::string("common ") + locale + ": " + source
                           : choice == 2 ? source
                                         : name + " " + locale + ": " + source;
                });
            if (!writeFile(dir + "/" + QString::fromStdString(name) + "_" + locale + ".ts",
                           catalog(contexts, locale)))
                return 2;
            written.insert(locale);
        }
    }

    std::string body;
    for (size_t i = 0; i < texts.size(); ++i)
        body += texts[i] + (i % 5 == 0 ? "\r\n" : "\n");
    for (int i = 0; i < 10; ++i)
        body += "Untranslated " + std::to_string(i) + "\n";
    body += "\xef\xbb\xbf" + texts[1] + "\n" + texts[2] + std::string("\0x\n", 3) +
            "bad \xff byte\n\nlone\rcarriage return\n";
    std::string input = seed % 3 == 0 ? "\xef\xbb\xbf" : "";
    for (int repeat = seed == 3 ? 60 : 1; repeat > 0; --repeat)
        input += body;
    input += texts[3];
    std::string locales_written;
    for (const std::string &locale : written)
        locales_written += locale + "\n";
    return writeFile(dir + "/locales.txt", locales_written) &&
                   writeFile(dir + "/components.txt", components) &&
                   writeFile(dir + "/Strings.txt", input)
               ? 0
               : 2;
}

int failed(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return 1;
}

// trcheck's report: (number, OK, text in Latin-1) per line.
struct Reported
{
    qint64 number;
    bool ok;
    QByteArray text;
};
QList<Reported> report(const QString &path)
{
    QFile file(path);
    QList<Reported> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.size() >= 19)
            lines.append({line.mid(3, 6).trimmed().toLongLong(),
                          line.mid(9, 8) == "    OK: ", line.mid(18, line.size() - 19)});
    }
    return lines;
}

int checkCoverage(const QString &dir, const QString &jsonPath, const QStringList &named)
{
    QFile json(jsonPath), strings(dir + "/Strings.txt");
    if (!json.open(QIODevice::ReadOnly) || !strings.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("cannot read the JSON or the input"));
    const QJsonObject coverage = QJsonDocument::fromJson(json.readAll()).object();
    const QList<QString> input = linesOf(strings.readAll());
    if (coverage.value(u"lines").toInteger() != input.size())
        return failed(QStringLiteral("lines: %1, expected %2")
                          .arg(coverage.value(u"lines").toInteger())
                          .arg(input.size()));
    QStringList names = lines(dir + "/components.txt");
    std::sort(names.begin(), names.end());
    const QJsonArray languages = coverage.value(u"languages").toArray();
    QStringList reported;
    for (const QJsonValue &entry : languages)
        reported.append(entry[u"language"].toString());
    if (reported != named)
        return failed(QStringLiteral("languages: ") + reported.join(u' ') +
                      QStringLiteral(", expected ") + named.join(u' '));

    for (const QJsonValue &entry : languages) {
        const QString language = entry[u"language"].toString();
        const QList<Reported> verdicts = report(dir + "/report-" + language + ".txt");
        if (verdicts.size() != input.size())
            return failed(language + QStringLiteral(": trcheck reported ") +
                          QString::number(verdicts.size()));
        // Translated exactly where trcheck says OK; the missing lines are its ERROR lines.
        QJsonArray missing;
        qint64 ok = 0;
        for (const Reported &line : verdicts) {
            ok += line.ok;
            if (!line.ok)
                missing.append(
                    QJsonObject{{QStringLiteral("line"), line.number},
                                {QStringLiteral("text"), QString::fromLatin1(line.text)}});
        }
        QJsonArray got = entry[u"missing"].toArray();
        for (qsizetype i = 0; i < got.size(); ++i)
            got[i] = QJsonObject{{QStringLiteral("line"), got[i][u"line"]},
                                 {QStringLiteral("text"),
                                  QString::fromLatin1(got[i][u"text"].toString().toLatin1())}};
        if (entry[u"translated"].toInteger() != ok ||
            entry[u"untranslated"].toInteger() != verdicts.size() - ok || got != missing)
            return failed(language +
                          QStringLiteral(": counts or missing lines differ from trcheck's"));

        // Conflicts as each component's catalog, asked on its own, gives them: the catalog named
        // for the language as given, else the toolkit's locale fallback.
        std::vector<std::pair<QString, std::unique_ptr<QTranslator>>> catalogs;
        for (const QString &name : std::as_const(names)) {
            auto catalog = std::make_unique<QTranslator>();
            const QString exact = dir + u'/' + name + u'_' + language + QStringLiteral(".qm");
            if ((QFile::exists(exact) &&
                 catalog->load(exact, QString(), QStringLiteral(""), QStringLiteral(""))) ||
                catalog->load(QLocale(language), name, QStringLiteral("_"), dir))
                catalogs.emplace_back(name, std::move(catalog));
        }
        QJsonArray conflicts;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (!isLookupable(input[i]))
                continue;
            const QByteArray key = input[i].toUtf8();
            QJsonArray answers;
            QString first;
            for (const auto &[name, catalog] : catalogs) {
                const QString answer = catalog->translate("QObject", key, key);
                if (answer.isNull())
                    continue;
                if (answers.isEmpty())
                    first = answer;
                answers.append(QJsonObject{
                    {QStringLiteral("component"), name},
                    {QStringLiteral("translation"), answer},
                    {QStringLiteral("role"), QString::fromLatin1(answers.isEmpty() ? "answers"
                                                                 : answer == first ? "same"
                                                                                   : "differs")}});
            }
            if (answers.size() > 1)
                conflicts.append(QJsonObject{{QStringLiteral("line"), qint64(i + 1)},
                                             {QStringLiteral("text"), input[i]},
                                             {QStringLiteral("answers"), answers}});
        }
        if (entry[u"conflicts"].toArray() != conflicts) {
            QFile reference(dir + QStringLiteral("/conflicts-") + language +
                            QStringLiteral(".json"));
            reference.open(QIODevice::WriteOnly);
            reference.write(QJsonDocument(conflicts).toJson());
            return failed(language +
                          QStringLiteral(": conflicts differ from the catalogs' own, in ") +
                          reference.fileName());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 4)
        return write(std::strtoull(argv[2], nullptr, 10), QString::fromLocal8Bit(argv[3]));
    if (mode == "languages" && argc == 4)
        return writeLanguages(std::strtoull(argv[2], nullptr, 10), QString::fromLocal8Bit(argv[3]));
    if (mode == "coverage" && argc >= 4) {
        QStringList named;
        for (int i = 4; i < argc; ++i)
            named.append(QString::fromLocal8Bit(argv[i]));
        return checkCoverage(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                             named);
    }
    if (mode == "depend" && argc == 3)
        return depend(QString::fromLocal8Bit(argv[2]));
    if (mode == "answers" && argc == 4 && std::string(argv[2]) == "platform") {
        std::string dir = argv[3];
        char translations[] = "-translations", lang[] = "-lang", de[] = "de";
        char *args[] = {argv[0], translations, dir.data(), lang, de, nullptr};
        int count = 5;
        ZApplication application(count, args, ZApplication::Tty);
        printAnswers(QString::fromLocal8Bit(argv[3]));
        return 0;
    }
    if ((mode == "answers" || mode == "check") && argc == 3 + (mode == "answers")) {
        const QString dir = QString::fromLocal8Bit(argv[argc - 1]);
        int count = 1;
        QCoreApplication application(count, argv);
        const auto installed = installOneByOne(dir);
        if (mode == "answers") {
            printAnswers(dir);
            return 0;
        }
        QFile strings(dir + "/lookups.txt"), table(dir + "/reference_Table.txt");
        if (!strings.open(QIODevice::ReadOnly) || !table.open(QIODevice::WriteOnly))
            return 2;
        QTextStream input(&strings), output(&table);
        output.setEncoding(QStringConverter::Utf8);
        checkStrings(input, output, stdout);
        return 0;
    }
    std::fprintf(stderr, "usage: see catalogdiff.cpp\n");
    return 1;
}
