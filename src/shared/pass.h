#ifndef TRCHECK_PASS_H
#define TRCHECK_PASS_H

#include "output.h"

#include <QList>

#include <functional>

class QTextStream;
class QThreadPool;

struct PassOptions
{
    // Where the languages are looked up, one task per language, while the calling thread reads
    // the next batch; null: everything in the calling thread, one batch at a time.
    QThreadPool *pool = nullptr;
    // Lines read at a time; the memory held grows with it, never with the input.
    int batchLines = 1024;
    // What the run checks in every translation beside the verdict, in the thread that looked
    // it up: the problems found, as bits (Outcome::problems). Empty: nothing is checked.
    std::function<quint8(QStringView line, QStringView translation)> check;
};

// The one pass of both programs. Reads every line of input once, makes its key once, looks it up
// in every language of header and judges it by the one rule, then hands the line's outcome to
// every output, in input order, between their begin() and end(), with what the outputs need kept.
// Returns the totals that end() was given.
PassTotals runPass(QTextStream &input, const PassHeader &header, const QList<Output *> &outputs,
                   const PassOptions &options);

#endif
