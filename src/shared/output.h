#ifndef TRCHECK_OUTPUT_H
#define TRCHECK_OUTPUT_H

// What the pass over a strings file finds, and the interface of every output it feeds: trcheck's
// report and table, trcoverage's formats and page.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class Lookup;

// What one component's catalog answers for a line.
struct ComponentAnswer
{
    int component; // index into the language's components
    QString text;
};

// One language's outcome for one line.
struct Outcome
{
    // Exactly when trcheck -lang LANGUAGE reports the line OK.
    bool translated = false;
    // Untranslated, kept the same on purpose: a catalog holds the line and the answering
    // component answers with exactly the line. Meaningful only where the lookup answers null for
    // a key no catalog holds (trcoverage's); the toolkit's answers such a key with the line.
    bool same = false;
    // Only for a translated line, when the run checks translations: what its check found wrong,
    // a set of problems as bits, 0 for none.
    quint8 problems = 0;
    // Only when an output needs answers: what the lookup answered, as QObject::tr gives it under
    // the platform. Null where no catalog answers, and for a line that cannot be looked up.
    QString answer;
    // Only when an output needs components: every component whose catalog answers the line,
    // each asked on its own, in answering order (the first answers), and whether any of them
    // answers otherwise than the first.
    QList<ComponentAnswer> answers;
    bool differs = false;
};

// One line with its outcome in every language, as the pass hands it to the outputs. Valid only
// during the call.
struct LineOutcome
{
    qint64 number; // from 1
    const QString &text;
    // The line's Latin-1 form: one byte per UTF-16 code unit, '?' beyond Latin-1.
    QByteArrayView latin1;
    // The line's UTF-8 form, NUL-terminated, when it can be looked up (else unspecified).
    const char *key;
    const Outcome *outcomes;
    qsizetype stride;
    const Outcome &outcome(qsizetype language) const { return outcomes[language * stride]; }
};

// One language as the pass asks it.
struct Language
{
    QString name;
    const Lookup *lookup;
};

// What the outputs know before the first line.
struct PassHeader
{
    QByteArray directory; // the catalog directory as given, or the default; empty for trcheck
    std::vector<Language> languages;
};

// What the outputs know after the last line.
struct PassTotals
{
    qint64 lines = 0;
    // Per language, in the order of the languages: the lines translated, those kept the same,
    // and the translated lines with problems.
    std::vector<qint64> translated, same, problems;
};

// What an output needs the pass to keep beyond the verdicts; each costs time.
struct OutputNeeds
{
    bool answers = false;    // Outcome::answer
    bool components = false; // Outcome::answers and Outcome::differs
};

// An output of the pass: told about the run, then about every line in input order, then the
// totals, all from the thread that runs the pass.
class Output
{
  public:
    virtual ~Output() = default;
    virtual OutputNeeds needs() const { return {}; }
    virtual void begin(const PassHeader &) {}
    virtual void addLine(const LineOutcome &) = 0;
    virtual void end(const PassTotals &) {}
};

#endif
