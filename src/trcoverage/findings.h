#ifndef TRCOVERAGE_FINDINGS_H
#define TRCOVERAGE_FINDINGS_H

#include "output.h"

#include <QStringList>

#include <memory>
#include <vector>

class Writer;

// What the text, CSV and JSON formats show, gathered as the pass goes: the counts, and when
// asked the untranslated lines and the conflicts, which are kept until the end (the summary
// comes first). Each untranslated line is kept once, whatever the number of languages missing
// it. Without -missing or -conflicts nothing grows with the input.
struct Findings
{
    Findings(bool keepMissing, bool keepConflicts)
        : keepMissing(keepMissing), keepConflicts(keepConflicts)
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

    const bool keepMissing, keepConflicts;
    QByteArray directory;
    QStringList languages;
    std::vector<QStringList> components; // per language, as ComponentAnswer::component counts them
    PassTotals totals;
    std::vector<Line> untranslated;               // lines untranslated in some language
    std::vector<std::vector<Conflict>> conflicts; // per language, in line order

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

// A format of standard output: the findings, gathered as the pass goes and written as a whole
// once it is done.
class Format : public Output
{
  public:
    Format(Writer &out, bool keepMissing, bool keepConflicts)
        : findings(keepMissing, keepConflicts), out(out)
    {
    }

    OutputNeeds needs() const override { return {false, findings.keepConflicts}; }
    void begin(const PassHeader &header) override { findings.begin(header); }
    void addLine(const LineOutcome &line) override { findings.add(line); }
    void end(const PassTotals &totals) override
    {
        findings.totals = totals;
        write(findings, out);
    }

  protected:
    virtual void write(const Findings &findings, Writer &out) = 0;

  private:
    Findings findings;
    Writer &out;
};

// The formats, each named once here, in the order the usage text gives them; the first is the
// default.
struct NamedFormat
{
    const char *name;
    std::unique_ptr<Format> (*make)(Writer &out, bool keepMissing, bool keepConflicts);
};
extern const NamedFormat formats[3];

std::unique_ptr<Format> makeTextFormat(Writer &out, bool keepMissing, bool keepConflicts);
std::unique_ptr<Format> makeCsvFormat(Writer &out, bool keepMissing, bool keepConflicts);
std::unique_ptr<Format> makeJsonFormat(Writer &out, bool keepMissing, bool keepConflicts);

#endif
