#include "checkstrings.h"

#include "pass.h"
#include "platform.h"
#include "report.h"
#include "table.h"
#include "verdict.h"

QString ToolkitLookup::translate(const char *key) const
{
    return lookUp(key);
}

QList<ComponentAnswer> ToolkitLookup::answers(const char *key) const
{
    // A key no catalog holds comes back decoded again: that is no component's answer.
    QString answer = lookUp(key);
    if (sameText(answer, unanswered(key)))
        return {};
    return {{0, std::move(answer)}};
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
