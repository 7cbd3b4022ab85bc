#ifndef TRCOVERAGE_PAGE_H
#define TRCOVERAGE_PAGE_H

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class QIODevice;

// What one language makes of one line.
struct PageCell
{
    bool translated = false;
    // A component other than the one that answers translates the line differently; the line
    // may be untranslated all the same (the answering component gives it back unchanged).
    bool conflict = false;
    // The translation; only read when translated.
    QString answer;
};

struct PageTotal
{
    qint64 translated = 0;
    qint64 untranslated = 0;
};

// Writes the coverage page, one self-contained HTML file, while the run goes: the header at
// start(), each line as it comes, the totals at finish(). Nothing is held per line: lines
// are gathered into pieces of some 2 MB, compressed, and written out, so memory stays flat
// however long the input.
//
// Every text from the strings file and the catalogs goes into inert data blocks that the
// page's own script shows as text, never as markup; the page loads nothing from elsewhere.
//
// Once a write fails the page writes nothing more (it keeps nothing either); finish() tells.
class CoveragePage
{
  public:
    // device must be open for writing and outlive the page.
    explicit CoveragePage(QIODevice &device);
    ~CoveragePage();
    CoveragePage(const CoveragePage &) = delete;
    CoveragePage &operator=(const CoveragePage &) = delete;

    // stringsFile and catalogDirectory as given on the command line, by their own bytes (a
    // name need not be valid UTF-8: a byte that is not part of a UTF-8 character is shown as
    // \xhh, in lowercase hex). made: when the run started.
    void start(const QByteArray &stringsFile, const QByteArray &catalogDirectory,
               const QStringList &languages, const QDateTime &made);
    // One input line, with one cell per language, in the order given to start().
    void addLine(qint64 number, QStringView text, const QList<PageCell> &cells);
    // The totals per language, in the same order. Returns whether the whole page reached the
    // device.
    bool finish(const QList<PageTotal> &totals);

  private:
    void writeChunk();
    void write(const QByteArray &bytes);

    QIODevice &device;
    // The lines not yet written, as the parts of a chunk: each language's translations kept
    // together, where deflate finds the repetitions of one language's words.
    QByteArray numbers;
    QByteArray texts;
    QByteArray states;
    QList<QByteArray> answers; // per language
    qsizetype chunkSize = 0;
    qsizetype languageCount = 0;
    bool failed = false;
};

// Appends text to out as a JSON string, quotes included, in UTF-8. Whatever could end or
// confuse the HTML element it stands in (<, >, &), control characters, line and paragraph
// separators and noncharacters are escaped as \uXXXX, and so is a lone surrogate, which
// UTF-8 cannot carry: JSON.parse gives back exactly the UTF-16 text.
void appendJsonString(QByteArray &out, QStringView text);

// A name given by its bytes, as text: UTF-8 where it is valid, each other byte as \xhh.
QString bytesAsText(const QByteArray &name);

#endif
