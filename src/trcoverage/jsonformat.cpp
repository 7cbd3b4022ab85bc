// The findings as one JSON object, its schema in trcoverage(1):
//   {"lines": N, "catalogs": DIR, "languages": [{"language", "translated", "untranslated",
//    "same", "share", with checks "flagged", and with the options "missing": [{"line", "text",
//    "same"}], "problems": [{"line", "text", "translation", "checks": [NAME...]}], "differing",
//    "conflicts": [{"line", "text", "answers": [{"component", "translation", "role"}]}]}]}
#include "bytesastext.h"
#include "findings.h"
#include "jsonstring.h"
#include "share.h"
#include "writer.h"

void writeJson(const Findings &findings, Writer &out)
{
    const PassTotals &totals = findings.totals;
    out << "{\n  \"lines\": " << totals.lines << ",\n  \"catalogs\": ";
    writeJsonString(out, bytesAsText(findings.directory));
    out << ",\n  \"languages\": [";
    for (qsizetype language = 0; language < findings.languages.size(); ++language) {
        const qint64 translated = totals.translated[size_t(language)];
        out << (language ? ",\n" : "\n") << "    {\n      \"language\": ";
        writeJsonString(out, findings.languages[language]);
        out << ",\n      \"translated\": " << translated
            << ",\n      \"untranslated\": " << totals.lines - translated
            << ",\n      \"same\": " << totals.same[size_t(language)]
            << ",\n      \"share\": " << shareText(translated, totals.lines);
        if (findings.checked)
            out << ",\n      \"flagged\": " << totals.problems[size_t(language)];
        if (findings.keepMissing) {
            out << ",\n      \"missing\": [";
            const char *separator = "\n";
            for (size_t i = 0; i < findings.untranslated.size(); ++i) {
                if (!findings.isMissing(i, language))
                    continue;
                out << separator << "        {\"line\": " << findings.untranslated[i].number
                    << ", \"text\": ";
                writeJsonString(out, findings.untranslated[i].text);
                out << ", \"same\": " << (findings.isSame(i, language) ? "true}" : "false}");
                separator = ",\n";
            }
            out << (*separator == ',' ? "\n      ]" : "]");
        }
        if (findings.keepProblems) {
            const auto &problems = findings.problems[size_t(language)];
            out << ",\n      \"problems\": [";
            for (size_t p = 0; p < problems.size(); ++p) {
                out << (p ? ",\n" : "\n") << "        {\"line\": " << problems[p].number
                    << ", \"text\": ";
                writeJsonString(out, problems[p].text);
                out << ", \"translation\": ";
                writeJsonString(out, problems[p].translation);
                out << ", \"checks\": [\"" << problemList(problems[p].problems, "\", \"") << "\"]}";
            }
            out << (problems.empty() ? "]" : "\n      ]");
        }
        if (findings.keepConflicts) {
            const auto &conflicts = findings.conflicts[size_t(language)];
            const QStringList &components = findings.components[size_t(language)];
            out << ",\n      \"differing\": " << findings.differing[size_t(language)]
                << ",\n      \"conflicts\": [";
            for (size_t c = 0; c < conflicts.size(); ++c) {
                const Findings::Conflict &conflict = conflicts[c];
                out << (c ? ",\n" : "\n") << "        {\"line\": " << conflict.number
                    << ", \"text\": ";
                writeJsonString(out, conflict.text);
                out << ", \"answers\": [";
                for (qsizetype i = 0; i < conflict.answers.size(); ++i) {
                    out << (i ? ", " : "") << "{\"component\": ";
                    writeJsonString(out, components[conflict.answers[i].component]);
                    out << ", \"translation\": ";
                    writeJsonString(out, conflict.answers[i].text);
                    out << ", \"role\": \"" << answerRole(conflict, i) << "\"}";
                }
                out << "]}";
            }
            out << (conflicts.empty() ? "]" : "\n      ]");
        }
        out << "\n    }";
    }
    out << (findings.languages.isEmpty() ? "]\n}\n" : "\n  ]\n}\n");
}
