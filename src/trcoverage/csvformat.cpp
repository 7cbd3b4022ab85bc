// The findings as a table for machines, by RFC 4180: a header row, then one row per record, all
// with the same fields, lines ended by CR LF. The first field tells the record: summary (a
// language's counts), missing (an untranslated line), conflict (one component's answer for a
// line two or more components translate), problem (a translated line the checks flag). The
// fields added since the first ten come after them, so that a reader that counts fields keeps
// reading the ones it knows.
#include "findings.h"
#include "share.h"
#include "writer.h"

namespace {

// Quoted when it holds a comma, a quote, a CR or a LF, its quotes doubled.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
}

} // namespace

void writeCsv(const Findings &findings, Writer &out)
{
    out << "record,language,line,text,translated,untranslated,share,component,translation,role,"
           "same,flagged,checks\r\n";
    const PassTotals &totals = findings.totals;
    for (qsizetype i = 0; i < findings.languages.size(); ++i) {
        const qint64 translated = totals.translated[size_t(i)];
        out << "summary," << csvField(findings.languages[i]) << ",,," << translated << ','
            << totals.lines - translated << ',' << shareText(translated, totals.lines) << ",,,,"
            << totals.same[size_t(i)] << ',';
        if (findings.checked)
            out << totals.problems[size_t(i)];
        out << ",\r\n";
    }
    for (qsizetype language = 0; findings.keepMissing && language < findings.languages.size();
         ++language) {
        const QByteArray name = csvField(findings.languages[language]);
        for (size_t i = 0; i < findings.untranslated.size(); ++i) {
            if (findings.isMissing(i, language))
                out << "missing," << name << ',' << findings.untranslated[i].number << ','
                    << csvField(findings.untranslated[i].text) << ",,,,,,,"
                    << (findings.isSame(i, language) ? "1" : "0") << ",,\r\n";
        }
    }
    for (qsizetype language = 0; findings.keepProblems && language < findings.languages.size();
         ++language) {
        const QByteArray name = csvField(findings.languages[language]);
        for (const Findings::Flagged &line : findings.problems[size_t(language)])
            out << "problem," << name << ',' << line.number << ',' << csvField(line.text) << ",,,,,"
                << csvField(line.translation) << ",,,," << problemList(line.problems, " ")
                << "\r\n";
    }
    for (qsizetype language = 0; findings.keepConflicts && language < findings.languages.size();
         ++language) {
        const QByteArray name = csvField(findings.languages[language]);
        const QStringList &components = findings.components[size_t(language)];
        for (const Findings::Conflict &conflict : findings.conflicts[size_t(language)]) {
            const QByteArray text = csvField(conflict.text);
            for (qsizetype i = 0; i < conflict.answers.size(); ++i)
                out << "conflict," << name << ',' << conflict.number << ',' << text << ",,,,"
                    << csvField(components[conflict.answers[i].component]) << ','
                    << csvField(conflict.answers[i].text) << ',' << answerRole(conflict, i)
                    << ",,,\r\n";
        }
    }
}
