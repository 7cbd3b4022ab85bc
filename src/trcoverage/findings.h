#ifndef TRCOVERAGE_FINDINGS_H
#define TRCOVERAGE_FINDINGS_H

#include "coverage.h"

#include <QStringList>

#include <cstdio>
#include <vector>

// What the text, CSV and JSON outputs show, gathered as the pass goes: the counts, and when
// asked the untranslated lines and the conflicts, which are kept until the end (the summary
// comes first). Each untranslated line is kept once, whatever the number of languages missing
// it. Without -missing or -conflicts nothing grows with the input.
class Findings : public CoverageOutput
{
  public:
    Findings(bool keepMissing, bool keepConflicts);

    void begin(const CoverageHeader &header) override;
    void addLine(const LineOutcome &line) override;
    void end(const CoverageTotals &totals) override;

    struct Line
    {
        qint64 number;
        QString text;
    };
    struct Conflict
    {
        qint64 number;
        QString text;
        QList<ZCatalogs::Answer> answers; // in answering order: the first answers
    };

    const bool keepMissing, keepConflicts;
    QByteArray directory;
    QStringList languages;
    std::vector<QStringList> components; // per language, as Answer::component counts them
    CoverageTotals totals;
    std::vector<Line> untranslated;               // lines untranslated in some language
    std::vector<std::vector<Conflict>> conflicts; // per language, in line order

    // Whether the untranslated line at index is untranslated in that language.
    bool isMissing(size_t index, qsizetype language) const
    {
        return missingBits[index * size_t(words) + size_t(language) / 64] >>
                   (size_t(language) % 64) &
               1;
    }

  private:
    qsizetype words = 0;              // per untranslated line, one bit per language
    std::vector<quint64> missingBits; // language bits of untranslated[i] at i * words
};

// How an answer of a conflict stands to the first: "answers", "same" or "differs".
const char *answerRole(const Findings::Conflict &conflict, qsizetype index);

// A text as a CSV field (RFC 4180) and as a JSON string, both in UTF-8.
QByteArray csvField(const QString &text);
QByteArray jsonString(QStringView text);

// The formats, each written to out (standard output) as a whole once the pass is done.
void writeText(const Findings &findings, std::FILE *out);
void writeCsv(const Findings &findings, std::FILE *out);
void writeJson(const Findings &findings, std::FILE *out);

#endif
