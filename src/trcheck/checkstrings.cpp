#include "checkstrings.h"

#include "pass.h"
#include "platform.h"
#include "report.h"
#include "table.h"

QString ToolkitLookup::translate(const char *key) const
{
    return lookUp(key);
}

void checkStrings(QTextStream &input, Writer &table, Writer &report)
{
    const ToolkitLookup toolkit;
    ReportOutput reportOutput(report);
    TableOutput tableOutput(table);
    PassHeader header;
    header.languages.push_back({QString(), &toolkit});
    // One line at a time, in this thread; for each line the report comes before its row.
    PassOptions options;
    options.batchLines = 1;
    runPass(input, header, {&reportOutput, &tableOutput}, options);
}
