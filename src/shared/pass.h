#ifndef TRCHECK_PASS_H
#define TRCHECK_PASS_H

#include "output.h"

#include <QList>

#include <memory>

class QTextStream;
class QThreadPool;

// What a run checks in every translation beside the verdict. What a line's checks need of the
// line is found once, by the thread that reads it, for all its languages; each language's thread
// then checks its translation against that.
class TranslationCheck
{
  public:
    // What is kept of one line between its languages' checks.
    class Line
    {
      public:
        virtual ~Line() = default;
    };

    virtual ~TranslationCheck() = default;
    virtual std::unique_ptr<Line> newLine() const = 0;
    // Fills line from text, which stays as it is until the next call for that line.
    virtual void readLine(QStringView text, Line &line) const = 0;
    // The problems of a translation of the line, as bits; 0 for none.
    virtual quint8 check(const Line &line, QStringView translation) const = 0;
};

struct PassOptions
{
    // Where the languages are looked up, one task per language, while the calling thread reads
    // the next batch; null: everything in the calling thread, one batch at a time.
    QThreadPool *pool = nullptr;
    // Lines read at a time; the memory held grows with it, never with the input.
    int batchLines = 1024;
    // What the run checks in every translation beside the verdict (Outcome::problems); null:
    // nothing is checked.
    const TranslationCheck *check = nullptr;
};

// The one pass of both programs. Reads every line of input once, makes its key once, looks it up
// in every language of header and judges it by the one rule, then hands the line's outcome to
// every output, in input order, between their begin() and end(), with what the outputs need kept.
// Returns the totals that end() was given.
PassTotals runPass(QTextStream &input, const PassHeader &header, const QList<Output *> &outputs,
                   const PassOptions &options);

#endif
