#ifndef TRCOVERAGE_PASS_H
#define TRCOVERAGE_PASS_H

#include "coverage.h"

#include <QList>

class QTextStream;

struct PassOptions
{
    // Threads that look lines up, beside the one reading: 0 does it all in the calling thread.
    int threads = 0;
    // Lines read ahead at a time; the memory held grows with it, never with the input.
    int batchLines = 1024;
};

// The threads to use for that many languages on this machine: the languages are independent,
// so up to one per core.
int defaultThreads(qsizetype languages);

// Reads every line of input once, makes its key once and looks it up in every language of
// header, then hands the line's outcome to every output, in input order, between their begin()
// and end(), with what header asks for filled in. Returns the totals that end() was given.
CoverageTotals runPass(QTextStream &input, const CoverageHeader &header,
                       const QList<CoverageOutput *> &outputs, const PassOptions &options);

#endif
