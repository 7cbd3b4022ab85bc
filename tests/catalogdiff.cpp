// Differential check of the platform's catalog lookup against the toolkit's own: one
// QTranslator per component, installed so that the component whose name sorts first answers.
// usage:
//   catalog_diff write SEED DIR      random components: DIR/NAME_de.ts, some depending on
//                                    deps/common_de.ts (which depends on deps/base_de.ts),
//                                    DIR/compressed.txt (names to compile with -compress),
//                                    DIR/lookups.txt (the texts to look up) and
//                                    DIR/holders.txt (for each, the components that hold a
//                                    message under a hash it is looked up by)
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
//   catalog_diff asked DIR           the catalogs the platform asks for each lookup must be
//                                    exactly those holding it
//   catalog_diff write-locales DIR   components with catalogs for many spellings of locales
//   catalog_diff system-language DIR each component's catalog for the system's language, as
//                                    the platform and QTranslator::load(QLocale(), ...) take it
#include "catalognames.h"
#include "catalogrouter.h"
#include "catalogs.h"
#include "checkstrings.h"
#include "model.h"
#include "platform.h"
#include "writer.h"

#include <zcatalogs.h>

#include <QCoreApplication>
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
#include <map>
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

std::string catalog(const std::string &contexts, const std::vector<std::string> &dependencies = {},
                    const std::string &language = "de")
{
    std::string ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                     "<TS version=\"2.1\" language=\"" +
                     language + "\">\n";
    if (!dependencies.empty()) {
        ts += "<dependencies>";
        for (const std::string &dependency : dependencies)
            ts += "<dependency catalog=\"" + dependency + "\"/>";
        ts += "</dependencies>\n";
    }
    return ts + contexts + "</TS>\n";
}

// The hash the toolkit files a message's key under: ELF, and 1 for a key that hashes to 0.
quint32 messageHash(const std::string &key)
{
    quint32 h = 0;
    for (unsigned char c : key) {
        h = (h << 4) + c;
        h = (h ^ ((h & 0xf0000000) >> 24)) & 0x0fffffff;
    }
    return h != 0 ? h : 1;
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
                    const std::function<std::string(const std::string &)> &translated,
                    std::set<quint32> *hashes = nullptr)
{
    std::string own, other;
    for (size_t i = 0; percent > 0 && i < texts.size(); ++i) {
        const std::string &source = texts[i];
        if (!random.chance(percent))
            continue;
        const std::string text = translated(source);
        const bool plural = random.chance(10);
        const int kind = random.below(4);
        // lrelease keeps a comment only beside an entry for the same text without one.
        if (hashes) {
            hashes->insert(messageHash(source));
            if (kind == 2)
                hashes->insert(messageHash(source + source));
        }
        switch (kind) {
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
// lookups are texts no component holds. Seed 1 makes one component, seed 2 two hundred. Some
// components, empty ones too, depend on deps/common_de, which depends on deps/base_de: by its
// name, by a longer name the toolkit shortens to it, or beside deps/base_de itself.
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

    // The hash of every message each catalog holds, itself or through its dependencies, as
    // the toolkit files them: that of its source text and comment.
    std::map<std::string, std::set<quint32>> hashes;
    const auto add = [&hashes](const std::string &catalog, const std::string &source,
                               const char *comment) {
        hashes[catalog].insert(messageHash(source + (comment ? comment : "")));
        return message(source, comment, catalog + ": " + source + (comment ? " [c]" : ""), false);
    };

    // What the dependencies hold: a seventh of the texts in common, every other one of them
    // also with the comment the platform passes (which the toolkit drops before it asks a
    // dependency of a catalog with messages of its own) and in another context (where the
    // toolkit does not ask the dependencies of a catalog whose context table lacks it), and an
    // eleventh in base.
    std::string common, commonOther, base;
    for (int i = 0; i < int(texts.size()); ++i) {
        const std::string &source = texts[std::size_t(i)];
        if (i % 7 == 0)
            common += add("common", source, nullptr);
        if (i % 14 == 0) {
            common += add("common", source, source.c_str());
            commonOther += add("common", source, nullptr);
        }
        if (i % 11 == 0)
            base += add("base", source, nullptr);
    }
    common += add("common", "Only in the dependency", nullptr);
    base += add("base", "Only in the base", nullptr);

    std::string compressed, components;
    for (const std::string &name : names) {
        components += name + "\n";
        // Now and then a component with an empty catalog, which must not stop the others.
        const bool empty = count > 1 && random.chance(3);
        std::vector<std::string> dependencies;
        const std::string contexts = entries(
            random, texts,
            empty        ? 0
            : count > 20 ? 8
                         : 30,
            [&name](const std::string &source) { return name + ": " + source; }, &hashes[name]);
        if (random.chance(empty ? 50 : 5)) {
            const int how = random.below(3);
            dependencies.push_back(how == 1 ? "deps/common_de_XX" : "deps/common_de");
            if (how == 2)
                dependencies.push_back("deps/base_de");
            hashes[name].insert(hashes["common"].cbegin(), hashes["common"].cend());
            hashes[name].insert(hashes["base"].cbegin(), hashes["base"].cend());
        }
        if (!writeFile(dir + "/" + QString::fromStdString(name) + "_de.ts",
                       catalog(contexts, dependencies)))
            return 2;
        if (random.chance(20))
            compressed += name + "\n";
    }

    // First to answer, compressed, so with a context table that lacks the context Other: the
    // toolkit never asks its dependency for a text of that context, though it holds one.
    if (count > 1) {
        QDir(dir).mkpath(QStringLiteral("deps"));
        names.insert("Zdep");
        components = "Zdep\n" + components;
        compressed += "Zdep\n";
        if (!writeFile(
                dir + "/Zdep_de.ts",
                catalog(context("QObject", add("Zdep", "Zdep 0", nullptr)), {"deps/zdep_de"})) ||
            !writeFile(dir + "/deps/zdep_de.ts",
                       catalog(context("Other", add("zdep", "Only in the dependency", nullptr)))))
            return 2;
        hashes["Zdep"].insert(hashes["zdep"].cbegin(), hashes["zdep"].cend());
    }

    std::string lookups, holding;
    texts.insert(texts.end(), {"Only in the dependency", "Only in the base"});
    for (int i = 0; i < int(texts.size()) + 20; ++i) {
        const std::string text = i < int(texts.size()) ? texts[std::size_t(i)]
                                                       : "Untranslated " + std::to_string(i) + " " +
                                                             texts[std::size_t(i) % 60];
        lookups += text + "\n";
        holding += text + "\t";
        for (const std::string &name : names) {
            const std::set<quint32> &held = hashes[name];
            if (held.count(messageHash(text)) || held.count(messageHash(text + text)))
                holding += name + " ";
        }
        holding += "\n";
    }
    return QDir(dir).mkpath(QStringLiteral("deps")) &&
                   writeFile(dir + "/deps/common_de.ts",
                             catalog(context("QObject", common) + context("Other", commonOther),
                                     {"deps/base_de"})) &&
                   writeFile(dir + "/deps/base_de.ts", catalog(context("QObject", base))) &&
                   writeFile(dir + "/compressed.txt", compressed) &&
                   writeFile(dir + "/components.txt", components) &&
                   writeFile(dir + "/lookups.txt", lookups) &&
                   writeFile(dir + "/holders.txt", holding)
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

// The catalogs the platform's router asks for each lookup, against those the write step knows
// to hold a message, themselves or through their dependencies, under a hash the toolkit looks
// the text up by (its source text with the comment, or alone): asking more would cost a lookup
// in each for nothing, asking fewer would lose answers. A single catalog is asked for every
// text.
int asked(const QString &dir)
{
    LoadedCatalogs loaded =
        CatalogDirectory::open(QFile::encodeName(dir))->load(languageNames(QStringLiteral("de")));
    const QStringList components = loaded.components;
    const CatalogRouter router(std::move(loaded.catalogs));
    int failures = 0, lookups = 0, askedInAll = 0;
    for (const QString &line : lines(dir + "/holders.txt")) {
        const QStringList fields = line.split(u'\t');
        const QByteArray key = fields.value(0).toUtf8();
        QString asked;
        CatalogRouter::Candidates candidates = router.candidates(key.constData(), key.constData());
        for (int position; (position = router.next(candidates)) >= 0; ++askedInAll)
            asked += components[position] + u' ';
        const QString expected = router.size() == 1 ? components.front() + u' ' : fields.value(1);
        if (asked != expected && ++failures <= 10)
            std::printf("'%s': asked %s, held by %s\n", key.constData(), qPrintable(asked),
                        qPrintable(expected));
        ++lookups;
    }
    std::printf("%d lookups, %d catalogs asked in all\n", lookups, askedInAll);
    return failures == 0 && lookups > 0 ? 0 : 1;
}

// Components, each with catalogs for its own set of spellings of locales; each catalog
// translates Hello with its own file name.
const struct
{
    const char *component;
    std::vector<const char *> locales;
} spellings[] = {
    {"app",
     {"de", "de_AT", "de_at", "de_Latn_AT", "pt", "pt_BR", "pt_br", "br", "zh", "zh_TW",
      "zh_Hant_TW", "zh_hant_tw", "sr", "sr_Latn_RS", "sr_RS", "en", "en_US"}},
    {"b", {"de", "de_at", "pt_br", "pt", "zh_TW", "br", "sr_latn"}},
    {"c", {"de_Latn_AT", "de_latn", "pt", "zh_hant_tw", "zh", "sr_Latn", "en_us"}},
    {"d", {"de_at", "de_latn_at", "pt_br", "sr_rs", "xx", "zh_tw"}},
};

int writeLocales(const QString &dir)
{
    for (const auto &[component, locales] : spellings) {
        for (const char *locale : locales) {
            const std::string name = std::string(component) + "_" + locale;
            if (!writeFile(dir + "/" + QString::fromStdString(name) + ".ts",
                           catalog(context("QObject", message("Hello", nullptr, name, false)))))
                return 2;
        }
    }
    return 0;
}

// Which catalog of each component answers for the system's language, with the platform and
// with the toolkit's own loader; printed, and any difference fails. The languages the directory
// holds are listed each once, whichever spellings its catalogs use.
int compareSystemLanguage(const QString &dir)
{
    const QStringList languages = ZCatalogs::languages(QFile::encodeName(dir));
    const QStringList expected = {
        QStringLiteral("br"),         QStringLiteral("de"),         QStringLiteral("de_AT"),
        QStringLiteral("de_Latn"),    QStringLiteral("de_Latn_AT"), QStringLiteral("en"),
        QStringLiteral("en_US"),      QStringLiteral("pt"),         QStringLiteral("pt_BR"),
        QStringLiteral("sr"),         QStringLiteral("sr_Latn"),    QStringLiteral("sr_Latn_RS"),
        QStringLiteral("sr_RS"),      QStringLiteral("xx"),         QStringLiteral("zh"),
        QStringLiteral("zh_Hant_TW"), QStringLiteral("zh_TW")};
    if (languages != expected) {
        std::printf(" languages: %s\n", qPrintable(languages.join(u' ')));
        return 1;
    }
    const ZCatalogs platform(QFile::encodeName(dir));
    std::map<QString, QString> answered;
    for (const ZCatalogs::Answer &answer : platform.answers("Hello"))
        answered[platform.components().value(answer.component)] = answer.text;
    int failures = 0;
    for (const auto &spelling : spellings) {
        const QString component = QString::fromLatin1(spelling.component);
        QTranslator reference;
        const QString expected = reference.load(QLocale(), component, QStringLiteral("_"), dir)
                                     ? reference.translate("QObject", "Hello", "Hello")
                                     : QStringLiteral("(none)");
        const QString got =
            answered.count(component) ? answered[component] : QStringLiteral("(none)");
        std::printf(" %s", qPrintable(got));
        if (got != expected) {
            std::printf(" (the toolkit: %s)", qPrintable(expected));
            ++failures;
        }
    }
    std::printf("\n");
    return failures == 0 ? 0 : 1;
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
                           catalog(contexts, {}, locale)))
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
    if (mode == "asked" && argc == 3)
        return asked(QString::fromLocal8Bit(argv[2]));
    if (mode == "write-locales" && argc == 3)
        return writeLocales(QString::fromLocal8Bit(argv[2]));
    if (mode == "system-language" && argc == 3)
        return compareSystemLanguage(QString::fromLocal8Bit(argv[2]));
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
        QTextStream input(&strings);
        QFile standardOutput;
        standardOutput.open(stdout, QIODevice::WriteOnly);
        Writer rows(table), report(standardOutput);
        checkStrings(input, rows, report);
        return rows.finish() && report.finish() ? 0 : 4;
    }
    std::fprintf(stderr, "usage: see catalogdiff.cpp\n");
    return 1;
}
