#include "coverage_check.h"

#include "cataloglookup.h"
#include "model.h"

#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <vector>

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

std::vector<std::unique_ptr<CatalogLookup>> platform;
std::vector<std::vector<std::unique_ptr<QTranslator>>> models;

} // namespace

void setUpCoverageCheck(const QString &directory, PassHeader &header)
{
    for (const auto &language : languages) {
        const QString name = QString::fromLatin1(language.language);
        platform.push_back(std::make_unique<CatalogLookup>(directory.toLocal8Bit(), name));
        header.languages.push_back({name, platform.back().get()});
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

void CoverageRecord::addLine(const LineOutcome &line)
{
    text += QString::number(line.number) + u'\n';
    for (int language = 0; language < languageCount; ++language) {
        const Outcome &outcome = line.outcome(first + language);
        text += QString::number(outcome.translated) + u' ' + outcome.answer + u'\n';
        for (const ComponentAnswer &answer : outcome.answers)
            text += QString::number(answer.component) + u' ' + answer.text + u'\n';
    }
}

void CoverageRecord::end(const PassTotals &totals)
{
    text += QString::number(totals.lines) + u'\n';
    for (int language = 0; language < languageCount; ++language)
        text += QString::number(totals.translated[size_t(first + language)]) + u'\n';
}

QString expectedCoverage(const QList<QString> &lines)
{
    QString text;
    std::vector<qint64> translated(languageCount);
    // A language whose files are another's (de_DE falls back to de's) answers as that one does.
    std::vector<int> sameAs(languageCount);
    for (int language = 0; language < languageCount; ++language) {
        sameAs[size_t(language)] = language;
        for (int other = 0; other < language; ++other) {
            if (languages[other].files == languages[language].files)
                sameAs[size_t(language)] = sameAs[size_t(other)];
        }
    }
    std::vector<QString> answered(languageCount);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const bool lookupable = isLookupable(line);
        const QByteArray key = line.toUtf8();
        text += QString::number(i + 1) + u'\n';
        for (int language = 0; language < languageCount; ++language) {
            QString &record = answered[size_t(language)];
            if (sameAs[size_t(language)] != language) {
                record = answered[size_t(sameAs[size_t(language)])];
            } else {
                QString answers, answer;
                for (size_t c = 0; lookupable && c < models[size_t(language)].size(); ++c) {
                    const QString found =
                        models[size_t(language)][c]->translate("QObject", key, key);
                    if (found.isNull())
                        continue;
                    if (answer.isNull())
                        answer = found;
                    answers += QString::number(c) + u' ' + found + u'\n';
                }
                const bool ok = lookupable && answer != line && !answers.isEmpty();
                record = QString::number(ok) + u' ' + answer + u'\n' + answers;
            }
            translated[size_t(language)] += record.startsWith(u'1');
            text += record;
        }
    }
    text += QString::number(lines.size()) + u'\n';
    for (qint64 count : translated)
        text += QString::number(count) + u'\n';
    return text;
}
