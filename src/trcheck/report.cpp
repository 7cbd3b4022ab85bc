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
    char *at = out.room(3 + 20 + verdictSize);
    std::memcpy(at, "=> ", 3);
    at = paddedNumber(at + 3, line.number);
    std::memcpy(at, line.outcome(0).translated ? okVerdict : errorVerdict, verdictSize);
    out.commit(at + verdictSize);
    // Written whole, NULs and all; a long line goes out as it is, not copied again.
    out << line.latin1 << "'\n";
    out.endLine();
}
