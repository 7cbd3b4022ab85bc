#ifndef TRCHECK_REPORT_H
#define TRCHECK_REPORT_H

#include "output.h"

class Writer;

// The report as an output of the pass: one line per input line, in Latin-1, with the first
// language's verdict:
//   "=> " number (padded to 6) " ERROR: '" or "    OK: '", the line, "'\n".
class ReportOutput : public Output
{
  public:
    // out must outlive the output.
    explicit ReportOutput(Writer &out) : out(out) {}

    void addLine(const LineOutcome &line) override;

  private:
    Writer &out;
};

#endif
