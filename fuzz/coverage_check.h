#ifndef TRCHECK_FUZZ_COVERAGE_CHECK_H
#define TRCHECK_FUZZ_COVERAGE_CHECK_H

#include "output.h"

#include <QList>
#include <QString>

#include <memory>

// The pass in several languages of the platform's catalogs, against the same model of the input
// and one QTranslator per catalog: verdicts, answers, conflicts and counts in every language.

// Adds the languages to header, after those already there, and loads their models.
void setUpCoverageCheck(const QString &catalogDirectory, PassHeader &header);

// Records what the pass finds in those languages (every line's answers, and the totals) as text.
class CoverageRecord : public Output
{
  public:
    // first: the place in the header of the first of the languages.
    explicit CoverageRecord(qsizetype first) : first(first) {}
    OutputNeeds needs() const override { return {true, true}; }
    void addLine(const LineOutcome &line) override;
    void end(const PassTotals &totals) override;
    QString text;

  private:
    const qsizetype first;
};

// The same record from the lines decoded at once and each catalog asked on its own.
QString expectedCoverage(const QList<QString> &lines);

#endif
