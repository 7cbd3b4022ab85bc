#ifndef TRCOVERAGE_COVERAGE_H
#define TRCOVERAGE_COVERAGE_H

// What the pass over the strings file finds, and the outputs it hands that to.

#include <zcatalogs.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

// One language as it is asked: its name as given (or as the catalog names spell it), and the
// platform's catalogs for it.
struct Language
{
    QString name;
    std::unique_ptr<ZCatalogs> catalogs;
};

// One language's outcome for one line.
struct Verdict
{
    // Exactly when trcheck -lang LANGUAGE reports the line OK.
    bool translated = false;
    // Only when answers are kept: the answer of the first catalog that has one, as QObject::tr
    // gives it under the platform. Null where no catalog answers (not the toolkit's answer for
    // an unknown key), and for a line that cannot be looked up.
    QString answer;
    // Only when components are asked: every component whose catalog answers the line, each
    // asked on its own, in answering order (the first answers), and whether any of them answers
    // otherwise than the first.
    QList<ZCatalogs::Answer> answers;
    bool differs = false;
};

// One line with its outcome in every language, as the pass hands it to the outputs. Valid only
// during the call.
struct LineOutcome
{
    qint64 number; // from 1
    const QString &text;
    const Verdict *verdicts;
    qsizetype stride;
    const Verdict &verdict(qsizetype language) const { return verdicts[language * stride]; }
};

// What the outputs know before the first line, and what the pass fills in for them.
struct CoverageHeader
{
    QByteArray directory; // the catalog directory, as given, or the default
    const std::vector<Language> *languages;
    // Verdict::answers and Verdict::differs: every component asked on its own, which is slower.
    bool componentsAsked = false;
    // Verdict::answer: kept until the line is handed on, which is slower than letting each
    // answer go as soon as it is judged.
    bool answersKept = false;
};

// What the outputs know after the last line.
struct CoverageTotals
{
    qint64 lines = 0;
    std::vector<qint64> translated; // per language, in the order of the languages
};

// An output of the pass: told about the run, then about every line in input order, then the
// totals, all from the thread that runs the pass.
class CoverageOutput
{
  public:
    virtual ~CoverageOutput() = default;
    virtual void begin(const CoverageHeader &) {}
    virtual void addLine(const LineOutcome &) = 0;
    virtual void end(const CoverageTotals &) {}
};

#endif
