#include "checkstrings.h"
#include "exitstatus.h"
#include "platform.h"
#include "runfiles.h"
#include "table.h"
#include "wholecharacters.h"
#include "writer.h"

#include <QFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// The table goes beside the program as it was started: the directory part of argv[0], by
// its own bytes, as a directory name need not be valid UTF-8. A relative directory resolves
// against the working directory, as does a program path without any directory part.
QByteArray tablePath(const char *programPath)
{
    const char *const slash = std::strrchr(programPath, '/');
    QByteArray path(programPath, slash ? slash + 1 - programPath : 0);
    return path.append(tableFileName);
}

} // namespace

int main(int argc, char **argv)
{
    // A report reader that stops early (head, a pager) must not end the run: the table is
    // still written whole, and the failed report is told by the exit status.
    std::signal(SIGPIPE, SIG_IGN);
    ZApplication application(argc, argv, ZApplication::GuiClient);

    if (argc != 2) {
        std::fprintf(stderr, "Usage:\n\t%s Strings.txt\n", argc > 0 ? argv[0] : "trcheck");
        return usageError;
    }

    QFile strings;
    struct stat stringsStatus;
    if (!openStrings(strings, argv[1], stringsStatus)) {
        sayCannotOpen(argv[1]);
        return stringsUnreadable;
    }

    QFile table;
    if (!openOutput(table, tablePath(argv[0]).constData(), stringsStatus)) {
        sayCannotOpenForWrite(tableFileName);
        return tableUnwritable;
    }

    QFile standardOutput;
    const bool terminal = openStandardOutput(standardOutput);
    Writer report(standardOutput);
    report.setLineBuffered(terminal);
    Writer rows(table);
    {
        WholeCharacters characters(strings);
        QTextStream input(&characters);
        checkStrings(input, rows, report);
    }

    const bool written = rows.finish() && finishOutput(table);
    const bool read = finishStrings(strings);
    // The report goes out before any message, so that the two keep their order when merged.
    const bool reported = report.finish();
    if (!read) {
        sayCannotRead(argv[1]);
        return stringsUnreadable;
    }
    if (!written) {
        sayCannotWrite(tableFileName);
        return tableUnwritable;
    }
    if (!reported) {
        sayCannotWriteOutput();
        return outputUnwritable;
    }
    return done;
}
