#include "htmlformat.h"

HtmlOutput::HtmlOutput(QIODevice &device, const QByteArray &stringsFile, const QDateTime &made)
    : page(device), stringsFile(stringsFile), made(made)
{
}

void HtmlOutput::begin(const CoverageHeader &header)
{
    QStringList names;
    for (const Language &language : *header.languages)
        names.append(language.name);
    cells.resize(names.size());
    page.start(stringsFile, header.directory, names, made);
}

void HtmlOutput::addLine(const LineOutcome &line)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const Verdict &verdict = line.verdict(i);
        PageCell &cell = cells[i];
        cell.translated = verdict.translated;
        cell.conflict = verdict.differs;
        // Shared, not copied; and only a translation is shown.
        if (verdict.translated)
            cell.answer = verdict.answer;
        else
            cell.answer.clear();
    }
    page.addLine(line.number, line.text, cells);
}

void HtmlOutput::end(const CoverageTotals &totals)
{
    QList<PageTotal> pageTotals(cells.size());
    for (qsizetype i = 0; i < cells.size(); ++i) {
        pageTotals[i].translated = totals.translated[size_t(i)];
        pageTotals[i].untranslated = totals.lines - totals.translated[size_t(i)];
    }
    complete = page.finish(pageTotals);
}
