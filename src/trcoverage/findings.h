#ifndef TRCOVERAGE_FINDINGS_H
#define TRCOVERAGE_FINDINGS_H

#include "output.h"

#include <QStringList>

#include <memory>
#include <vector>

class Writer;

// What the formats show beside the counts.
struct FindingsOptions
{
    bool missing = false;   // the untranslated lines (-missing)
    bool conflicts = false; // the lines two or more components translate (-conflicts)
    bool checked = false;   // the translations are checked: the lines flagged are counted
    bool problems = false;  // and those lines are listed with their problems (-checks)
};

// What the text, CSV and JSON formats show, gathered as the pass goes: the counts, and when
// asked the untranslated lines, the conflicts and the translations with problems, which are
// kept until the end (the summary comes first). Each untranslated line is kept once, whatever
// the number of languages missing it. Without a list nothing grows with the input.
struct Findings
{
    explicit Findings(const FindingsOptions &options)
        : keepMissing(options.missing), keepConflicts(options.conflicts), checked(options.checked),
          keepProblems(options.problems)
    {
    }

    void begin(const PassHeader &header);
    void add(const LineOutcome &line);

    struct Line
    {
        qint64 number;
        QString text;
    };
    struct Conflict
    {
        qint64 number;
        QString text;
        QList<ComponentAnswer> answers; // in answering order: the first answers
    };
    struct Flagged
    {
        qint64 number;
        QString text;
        QString translation;
        quint8 problems; // Problem bits
    };

    const bool keepMissing, keepConflicts, checked, keepProblems;
    QByteArray directory;
    QStringList languages;
    std::vector<QStringList> components; // per language, as ComponentAnswer::component counts them
    PassTotals totals;
    std::vector<Line> untranslated;               // lines untranslated in some language
    std::vector<std::vector<Conflict>> conflicts; // per language, in line order
    // Per language, the conflicts where a component answers otherwise than the one that answers:
    // the lines the coverage page marks and counts as differing.
    std::vector<qint64> differing;
    std::vector<std::vector<Flagged>> problems; // per language, in line order

    // Whether the untranslated line at index is untranslated in that language, and whether it
    // is kept the same there.
    bool isMissing(size_t index, qsizetype language) const
    {
        return bit(missingBits, index, language);
    }
    bool isSame(size_t index, qsizetype language) const { return bit(sameBits, index, language); }

  private:
    bool bit(const std::vector<quint64> &bits, size_t index, qsizetype language) const
    {
        return bits[index * size_t(words) + size_t(language) / 64] >> (size_t(language) % 64) & 1;
    }

    qsizetype words = 0; // per untranslated line, one bit per language
    // The language bits of untranslated[i], at i * words: untranslated, kept the same.
    std::vector<quint64> missingBits, sameBits;
};

// How an answer of a conflict stands to the first: "answers", "same" or "differs".
const char *answerRole(const Findings::Conflict &conflict, qsizetype index);

// How a format writes the findings.
using FormatWriter = void (*)(const Findings &findings, Writer &out);
void writeText(const Findings &findings, Writer &out);
void writeCsv(const Findings &findings, Writer &out);
void writeJson(const Findings &findings, Writer &out);

// The formats, each named once here, in the order the usage text gives them; the first is the
// default.
struct NamedFormat
{
    const char *name;
    FormatWriter write;
};
extern const NamedFormat formats[3];

// A format of standard output as an output of the pass: the findings, gathered as the pass goes
// and written as a whole once it is done.
class FormatOutput : public Output
{
  public:
    // out must outlive the output.
    FormatOutput(Writer &out, const FindingsOptions &options, FormatWriter write)
        : findings(options), out(out), write(write)
    {
    }

    OutputNeeds needs() const override { return {findings.keepProblems, findings.keepConflicts}; }
    void begin(const PassHeader &header) override { findings.begin(header); }
    void addLine(const LineOutcome &line) override { findings.add(line); }
    void end(const PassTotals &totals) override
    {
        findings.totals = totals;
        write(findings, out);
    }

  private:
    Findings findings;
    Writer &out;
    const FormatWriter write;
};

// The names of the problems in bits, in the order the outputs give them, split by separator.
QByteArray problemList(quint8 problems, const char *separator);

#endif
