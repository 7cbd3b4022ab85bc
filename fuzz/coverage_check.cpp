#include "coverage_check.h"

#include "model.h"
#include "pass.h"
#include "pipe.h"
#include "wholecharacters.h"

#include <QBuffer>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The languages asked, and the files each component answers them from, first to answer first:
// Zeta sorts before alpha; de_DE falls back to de; xx has none.
const struct
{
    const char *language;
    std::vector<const char *> files;
} languages[] = {{"de", {"Zeta_de", "alpha_de", "app_de", "zoo_de"}},
                 {"pt_BR", {"app_pt_BR"}},
                 {"de_DE", {"Zeta_de", "alpha_de", "app_de", "zoo_de"}},
                 {"xx", {}}};
constexpr int languageCount = int(sizeof languages / sizeof *languages);

QString directory;
std::vector<Language> platform;
std::vector<std::vector<std::unique_ptr<QTranslator>>> models;

// Every line's answers in every language, as text, and the totals.
class Record : public CoverageOutput
{
  public:
    void addLine(const LineOutcome &line) override
    {
        text += QString::number(line.number) + u'\n';
        for (int language = 0; language < languageCount; ++language) {
            const Verdict &verdict = line.verdict(language);
            text += QString::number(verdict.translated) + u' ' + verdict.answer + u'\n';
            for (const ZCatalogs::Answer &answer : verdict.answers)
                text += QString::number(answer.component) + u' ' + answer.text + u'\n';
        }
    }
    void end(const CoverageTotals &totals) override
    {
        text += QString::number(totals.lines) + u'\n';
        for (qint64 count : totals.translated)
            text += QString::number(count) + u'\n';
    }
    QString text;
};

// The same, from the lines decoded at once and each catalog asked on its own.
QString expected(const QList<QString> &lines)
{
    QString text;
    std::vector<qint64> translated(languageCount);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const QByteArray key = line.toUtf8();
        text += QString::number(i + 1) + u'\n';
        for (int language = 0; language < languageCount; ++language) {
            QString answers, answer;
            for (size_t c = 0; isLookupable(line) && c < models[size_t(language)].size(); ++c) {
                const QString found = models[size_t(language)][c]->translate("QObject", key, key);
                if (found.isNull())
                    continue;
                if (answer.isNull())
                    answer = found;
                answers += QString::number(c) + u' ' + found + u'\n';
            }
            const bool ok = isLookupable(line) && answer != line && !answers.isEmpty();
            translated[size_t(language)] += ok;
            text += QString::number(ok) + u' ' + answer + u'\n' + answers;
        }
    }
    text += QString::number(lines.size()) + u'\n';
    for (qint64 count : translated)
        text += QString::number(count) + u'\n';
    return text;
}

QString run(QIODevice &device, const PassOptions &options)
{
    WholeCharacters characters(device);
    QTextStream input(&characters);
    Record record;
    const CoverageHeader header{directory.toLocal8Bit(), &platform, true, true};
    runPass(input, header, {&record}, options);
    return record.text;
}

[[noreturn]] void fail(const char *what, const QString &got, const QString &wanted)
{
    qsizetype at = 0;
    while (at < got.size() && at < wanted.size() && got[at] == wanted[at])
        ++at;
    std::fprintf(stderr, "coverage %s differs at %lld:\ngot:      %s\nexpected: %s\n", what,
                 static_cast<long long>(at), got.mid(at, 80).toUtf8().toHex(' ').constData(),
                 wanted.mid(at, 80).toUtf8().toHex(' ').constData());
    std::abort();
}

} // namespace

void setUpCoverageCheck(const QString &catalogDirectory)
{
    directory = catalogDirectory;
    for (const auto &language : languages) {
        platform.push_back({QString::fromLatin1(language.language),
                            std::make_unique<ZCatalogs>(directory.toLocal8Bit(),
                                                        QString::fromLatin1(language.language))});
        models.emplace_back();
        for (const char *file : language.files) {
            models.back().push_back(std::make_unique<QTranslator>());
            if (!models.back().back()->load(directory + u'/' + QString::fromLatin1(file))) {
                std::fprintf(stderr, "cannot load %s in %s\n", file, qPrintable(directory));
                std::exit(1);
            }
        }
    }
}

void checkCoverage(const QByteArray &bytes)
{
    const QString wanted = expected(linesOf(bytes));
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    // Batches of three lines, looked up by two threads while the next batch is read.
    const QString got = run(file, PassOptions{2, 3});
    if (got != wanted)
        fail("read at once", got, wanted);
    Pipe pipe(bytes, {2, 1, 5, 4093, 3, 1, 16}, size_t(bytes.size()) / 3);
    const QString piped = run(pipe, PassOptions{0, 1024});
    if (piped != wanted)
        fail("through a pipe", piped, wanted);
}
