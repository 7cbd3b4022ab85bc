#include "report.h"

#include "table.h"
#include "writer.h"

#include <cstring>

namespace {

const char okVerdict[] = "    OK: '";
const char errorVerdict[] = " ERROR: '";
static_assert(sizeof okVerdict == sizeof errorVerdict, "the verdicts line up");
constexpr qsizetype verdictSize = sizeof okVerdict - 1;

} // namespace

void ReportOutput::addLine(const LineOutcome &line)
{
    // Written whole, in one piece: a NUL inside the line must not cut the report short.
    char *const start = out.room(3 + 20 + verdictSize + line.latin1.size() + 2);
    char *at = start;
    std::memcpy(at, "=> ", 3);
    at = paddedNumber(at + 3, line.number);
    std::memcpy(at, line.outcome(0).translated ? okVerdict : errorVerdict, verdictSize);
    at += verdictSize;
    std::memcpy(at, line.latin1.data(), size_t(line.latin1.size()));
    at += line.latin1.size();
    *at++ = '\'';
    *at++ = '\n';
    out.commit(at);
    out.endLine();
}
