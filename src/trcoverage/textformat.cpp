// The summary as a terminal shows it, and the untranslated lines and conflicts after it.
#include "bytesastext.h"
#include "findings.h"
#include "share.h"
#include "writer.h"

#include <algorithm>
#include <iterator>

namespace {

// Columns as a terminal counts them for the names met here: one per code point.
qsizetype columns(const QString &text)
{
    return text.toUcs4().size();
}

// A line as the report quotes it: its number right-aligned in 6 columns, then the text, and
// what is said of it.
void writeLine(Writer &out, qint64 number, const QString &text, const char *note = "")
{
    const QByteArray digits = QByteArray::number(number);
    out.spaces(6 - digits.size());
    out << digits << " '" << text << '\'' << note << '\n';
}

// 20 cells, each a twentieth of the lines, filled only when that much is translated.
QByteArray bar(qint64 translated, qint64 lines)
{
    const int filled = shareTenths(translated, lines) / 50;
    QByteArray cells;
    for (int i = 0; i < 20; ++i)
        cells += i < filled ? "\u2588" : "\u2591";
    return cells;
}

} // namespace

void writeText(const Findings &findings, Writer &out)
{
    const PassTotals &totals = findings.totals;
    out << "Lines:    " << totals.lines << '\n'
        << "Catalogs: " << bytesAsText(findings.directory) << "\n\n";

    // Language, translated, untranslated, same, share, bar; the counts as wide as the line
    // count.
    qsizetype nameWidth = 8;
    for (const QString &name : findings.languages)
        nameWidth = std::max(nameWidth, columns(name));
    const qsizetype digits = QByteArray::number(totals.lines).size();
    // With checks, the translated lines they flag come before the share.
    QList<QByteArray> headings{"Translated", "Untranslated", "Same", "Share"};
    if (findings.checked)
        headings.insert(3, "Flagged");
    QList<qsizetype> widths;
    for (qsizetype i = 0; i < headings.size(); ++i)
        widths.append(std::max(headings[i].size(), i + 1 < headings.size() ? digits : 6));
    const auto row = [&](const QString &name, const QList<QByteArray> &cells) {
        out << name;
        out.spaces(nameWidth - columns(name));
        for (qsizetype i = 0; i < cells.size(); ++i) {
            out.spaces(2 + widths[i] - cells[i].size());
            out << cells[i];
        }
    };
    row(QStringLiteral("Language"), headings);
    out << '\n';
    for (qsizetype i = 0; i < findings.languages.size(); ++i) {
        const qint64 translated = totals.translated[size_t(i)];
        QList<QByteArray> cells{
            QByteArray::number(translated), QByteArray::number(totals.lines - translated),
            QByteArray::number(totals.same[size_t(i)]), shareText(translated, totals.lines) + '%'};
        if (findings.checked)
            cells.insert(3, QByteArray::number(totals.problems[size_t(i)]));
        row(findings.languages[i], cells);
        out << "  " << bar(translated, totals.lines) << '\n';
    }

    for (qsizetype language = 0; findings.keepMissing && language < findings.languages.size();
         ++language) {
        out << "\nUntranslated in " << findings.languages[language] << ": "
            << totals.lines - totals.translated[size_t(language)] << '\n';
        for (size_t i = 0; i < findings.untranslated.size(); ++i) {
            if (findings.isMissing(i, language))
                writeLine(out, findings.untranslated[i].number, findings.untranslated[i].text,
                          findings.isSame(i, language) ? "  (same)" : "");
        }
    }

    // Each line, and below it what is wrong with its translation and the translation, so that a
    // long text wraps on its own line at 80 columns.
    for (qsizetype language = 0; findings.keepProblems && language < findings.languages.size();
         ++language) {
        const auto &problems = findings.problems[size_t(language)];
        out << "\nProblems in " << findings.languages[language] << ": " << qint64(problems.size())
            << '\n';
        for (const Findings::Flagged &line : problems) {
            writeLine(out, line.number, line.text);
            out.spaces(9);
            out << problemList(line.problems, ", ") << ": '" << line.translation << "'\n";
        }
    }

    for (qsizetype language = 0; findings.keepConflicts && language < findings.languages.size();
         ++language) {
        const auto &conflicts = findings.conflicts[size_t(language)];
        const QStringList &components = findings.components[size_t(language)];
        out << "\nConflicts in " << findings.languages[language] << ": " << qint64(conflicts.size())
            << '\n';
        for (const Findings::Conflict &conflict : conflicts) {
            writeLine(out, conflict.number, conflict.text);
            qsizetype width = 0;
            for (const ComponentAnswer &answer : conflict.answers)
                width = std::max(width, columns(components[answer.component]));
            for (qsizetype i = 0; i < conflict.answers.size(); ++i) {
                const QString &component = components[conflict.answers[i].component];
                const QByteArray role = answerRole(conflict, i);
                out.spaces(9);
                out << role;
                out.spaces(9 - role.size());
                out << component;
                out.spaces(width - columns(component) + 2);
                out << '\'' << conflict.answers[i].text << "'\n";
            }
        }
    }
}
