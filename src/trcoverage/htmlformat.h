#ifndef TRCOVERAGE_HTMLFORMAT_H
#define TRCOVERAGE_HTMLFORMAT_H

#include "coverage.h"
#include "page.h"

// The coverage page (-html) as an output of the pass: every line goes into the page as it
// comes, so the page holds nothing per line. It needs each language's answer and whether
// another component answers differently: the header must ask for both.
class HtmlOutput : public CoverageOutput
{
  public:
    // device must be open for writing and outlive this output. stringsFile: the strings file's
    // path as given; made: when the run started.
    HtmlOutput(QIODevice &device, const QByteArray &stringsFile, const QDateTime &made);

    void begin(const CoverageHeader &header) override;
    void addLine(const LineOutcome &line) override;
    void end(const CoverageTotals &totals) override;

    // Whether the whole page reached the device, once the pass is done.
    bool written() const { return complete; }

  private:
    CoveragePage page;
    QByteArray stringsFile;
    QDateTime made;
    QList<PageCell> cells;
    bool complete = false;
};

#endif
