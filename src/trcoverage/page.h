#ifndef TRCOVERAGE_PAGE_H
#define TRCOVERAGE_PAGE_H

#include "checks.h"
#include "output.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>
#include <vector>

class Writer;

// The coverage page (-html), one self-contained HTML file, as an output of the pass: the header
// at begin(), each line as it comes, the totals at end(). Nothing is held per line: lines are
// gathered into pieces of some 2 MB, compressed, and written out, so memory stays flat however
// long the input. It shows each language's answer, marks the lines kept the same and where
// another component answers differently, and when the run checks translations, which have
// problems and what they are.
//
// Every text from the strings file and the catalogs goes into inert data blocks that the
// page's own script shows as text, never as markup; the page loads nothing from elsewhere.
//
// Once a write fails the page makes nothing more (and keeps nothing); the writer tells.
class CoveragePage : public Output
{
  public:
    // out must outlive the page. stringsFile: the strings file's path as given, by its own
    // bytes; made: when the run started; checks: the limits of the run's checks, none when it
    // does not check translations (the page then shows nothing of checks).
    CoveragePage(Writer &out, const QByteArray &stringsFile, const QDateTime &made,
                 const std::optional<CheckLimits> &checks = std::nullopt);
    ~CoveragePage() override;
    CoveragePage(const CoveragePage &) = delete;
    CoveragePage &operator=(const CoveragePage &) = delete;

    OutputNeeds needs() const override { return {true, true}; }
    // The catalog directory as given, by its bytes (a name need not be valid UTF-8), shown with
    // the strings file's name as bytesAsText shows them.
    void begin(const PassHeader &header) override;
    void addLine(const LineOutcome &line) override;
    void end(const PassTotals &totals) override;

  private:
    void writeChunk();

    Writer &out;
    const QByteArray stringsFile;
    const QDateTime made;
    const std::optional<CheckLimits> checks;
    // The checks the run makes, in the order the page names them: a cell's problems go to the
    // page as bits in this order.
    std::vector<ProblemName> checksMade;
    // The lines not yet written, as the parts of a chunk: each language's translations kept
    // together, where deflate finds the repetitions of one language's words.
    QByteArray numbers;
    QByteArray texts;
    QByteArray states;
    QByteArray problems;       // of each cell with problems, in the order of the states
    QList<QByteArray> answers; // per language
    qsizetype chunkSize = 0;
    qsizetype languageCount = 0;
};

#endif
