#include "findings.h"

#include "checks.h"
#include "lookup.h"
#include "verdict.h"

const NamedFormat formats[3] = {{"text", writeText}, {"csv", writeCsv}, {"json", writeJson}};

void Findings::begin(const PassHeader &header)
{
    directory = header.directory;
    for (const Language &language : header.languages) {
        languages.append(language.name);
        components.push_back(language.lookup->components());
    }
    words = (languages.size() + 63) / 64;
    conflicts.resize(size_t(languages.size()));
    differing.resize(size_t(languages.size()));
    problems.resize(size_t(languages.size()));
}

void Findings::add(const LineOutcome &line)
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
        const Outcome &outcome = line.outcome(language);
        if (keepMissing && !outcome.translated) {
            if (!missing) {
                untranslated.push_back({line.number, kept()});
                missingBits.resize(missingBits.size() + size_t(words));
                sameBits.resize(sameBits.size() + size_t(words));
                missing = true;
            }
            const size_t word = missingBits.size() - size_t(words) + size_t(language) / 64;
            const quint64 bit = quint64(1) << (language % 64);
            missingBits[word] |= bit;
            if (outcome.same)
                sameBits[word] |= bit;
        }
        if (keepConflicts && outcome.answers.size() > 1) {
            conflicts[size_t(language)].push_back({line.number, kept(), outcome.answers});
            differing[size_t(language)] += outcome.differs;
        }
        if (keepProblems && outcome.problems)
            problems[size_t(language)].push_back(
                {line.number, kept(), outcome.answer, outcome.problems});
    }
}

const char *answerRole(const Findings::Conflict &conflict, qsizetype index)
{
    if (index == 0)
        return "answers";
    return sameText(conflict.answers[index].text, conflict.answers[0].text) ? "same" : "differs";
}

QByteArray problemList(quint8 problems, const char *separator)
{
    QByteArray list;
    for (const ProblemName &name : problemNames) {
        if (problems & quint8(name.problem))
            list += (list.isEmpty() ? "" : separator) + QByteArray(name.name);
    }
    return list;
}
