// The same data as one JSON object, its schema in trcoverage(1):
//   {"lines": N, "catalogs": DIR, "languages": [{"language", "translated", "untranslated",
//    "share", and with the options "missing": [{"line", "text"}], "differing", "conflicts":
//    [{"line", "text", "answers": [{"component", "translation", "role"}]}]}]}
#include "findings.h"
#include "share.h"
#include "verdict.h"
#include "writer.h"

#include <QFile>

#include <algorithm>

// A JSON string of the text, in UTF-8, every code unit kept: control characters, quotes and
// backslashes escaped, and a lone surrogate, which UTF-8 cannot carry, as its \u escape. So
// are U+FEFF, which decoders drop where it leads a text, and the line and paragraph
// separators, which end a line in JavaScript.
QByteArray jsonString(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    const char16_t *const end = text.utf16() + text.size();
    // The characters kept as they are go in as runs, each converted once.
    const char16_t *run = text.utf16();
    for (const char16_t *at = run; at != end;) {
        const char16_t c = *at;
        const bool pair = QChar::isHighSurrogate(c) && end - at > 1 && QChar::isLowSurrogate(at[1]);
        const bool escaped = c == u'"' || c == u'\\' || c < 0x20 ||
                             (QChar::isSurrogate(c) && !pair) || c == 0xfeff || c == 0x2028 ||
                             c == 0x2029;
        if (!escaped) {
            at += pair ? 2 : 1;
            continue;
        }
        out += QStringView(run, at).toUtf8();
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += char(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c == u'\r') {
            out += "\\r";
        } else {
            out += "\\u" + QByteArray::number(c, 16).rightJustified(4, '0');
        }
        run = ++at;
    }
    out += QStringView(run, end).toUtf8();
    return out + '"';
}

namespace {

// The conflicts where a component answers otherwise than the one that answers: the lines the
// coverage page marks and counts as differing.
qint64 differingLines(const std::vector<Findings::Conflict> &conflicts)
{
    qint64 differing = 0;
    for (const Findings::Conflict &conflict : conflicts) {
        const auto differs = [&](const ZCatalogs::Answer &answer) {
            return !sameText(answer.text, conflict.answers[0].text);
        };
        differing += std::any_of(conflict.answers.begin(), conflict.answers.end(), differs);
    }
    return differing;
}

} // namespace

void writeJson(const Findings &findings, std::FILE *file)
{
    Writer out(file);
    const CoverageTotals &totals = findings.totals;
    out << "{\n  \"lines\": " << totals.lines
        << ",\n  \"catalogs\": " << jsonString(QFile::decodeName(findings.directory))
        << ",\n  \"languages\": [";
    for (qsizetype language = 0; language < findings.languages.size(); ++language) {
        const qint64 translated = totals.translated[size_t(language)];
        out << (language ? ",\n" : "\n")
            << "    {\n      \"language\": " << jsonString(findings.languages[language])
            << ",\n      \"translated\": " << translated
            << ",\n      \"untranslated\": " << totals.lines - translated
            << ",\n      \"share\": " << shareText(translated, totals.lines);
        if (findings.keepMissing) {
            out << ",\n      \"missing\": [";
            const char *separator = "\n";
            for (size_t i = 0; i < findings.untranslated.size(); ++i) {
                if (!findings.isMissing(i, language))
                    continue;
                out << separator << "        {\"line\": " << findings.untranslated[i].number
                    << ", \"text\": " << jsonString(findings.untranslated[i].text) << '}';
                separator = ",\n";
            }
            out << (*separator == ',' ? "\n      ]" : "]");
        }
        if (findings.keepConflicts) {
            const auto &conflicts = findings.conflicts[size_t(language)];
            const QStringList &components = findings.components[size_t(language)];
            out << ",\n      \"differing\": " << differingLines(conflicts)
                << ",\n      \"conflicts\": [";
            for (size_t c = 0; c < conflicts.size(); ++c) {
                const Findings::Conflict &conflict = conflicts[c];
                out << (c ? ",\n" : "\n") << "        {\"line\": " << conflict.number
                    << ", \"text\": " << jsonString(conflict.text) << ", \"answers\": [";
                for (qsizetype i = 0; i < conflict.answers.size(); ++i)
                    out << (i ? ", " : "") << "{\"component\": "
                        << jsonString(components[conflict.answers[i].component])
                        << ", \"translation\": " << jsonString(conflict.answers[i].text)
                        << ", \"role\": \"" << answerRole(conflict, i) << "\"}";
                out << "]}";
            }
            out << (conflicts.empty() ? "]" : "\n      ]");
        }
        out << "\n    }";
    }
    out << (findings.languages.isEmpty() ? "]\n}\n" : "\n  ]\n}\n");
}
