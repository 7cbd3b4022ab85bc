#include "findings.h"

#include "verdict.h"

Findings::Findings(bool keepMissing, bool keepConflicts)
    : keepMissing(keepMissing), keepConflicts(keepConflicts)
{
}

void Findings::begin(const CoverageHeader &header)
{
    directory = header.directory;
    for (const Language &language : *header.languages) {
        languages.append(language.name);
        components.push_back(language.catalogs->components());
    }
    words = (languages.size() + 63) / 64;
    conflicts.resize(size_t(languages.size()));
}

void Findings::addLine(const LineOutcome &line)
{
    // A copy of its own size, made once and shared by every record of the line: the line shares
    // the reader's buffer, which is as large as the longest line yet.
    QString text;
    const auto kept = [&]() -> const QString & {
        if (text.isNull())
            text = QString(line.text.constData(), line.text.size());
        return text;
    };
    bool missing = false;
    for (qsizetype language = 0; language < languages.size(); ++language) {
        const Verdict &verdict = line.verdict(language);
        if (keepMissing && !verdict.translated) {
            if (!missing) {
                untranslated.push_back({line.number, kept()});
                missingBits.resize(missingBits.size() + size_t(words));
                missing = true;
            }
            missingBits[missingBits.size() - size_t(words) + size_t(language) / 64] |=
                quint64(1) << (language % 64);
        }
        if (keepConflicts && verdict.answers.size() > 1)
            conflicts[size_t(language)].push_back({line.number, kept(), verdict.answers});
    }
}

void Findings::end(const CoverageTotals &found)
{
    totals = found;
}

const char *answerRole(const Findings::Conflict &conflict, qsizetype index)
{
    if (index == 0)
        return "answers";
    return sameText(conflict.answers[index].text, conflict.answers[0].text) ? "same" : "differs";
}
