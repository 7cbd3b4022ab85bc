#include "checkstrings.h"
#include "platform.h"
#include "runfiles.h"
#include "table.h"
#include "wholecharacters.h"

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
        return 1;
    }

    QFile strings;
    struct stat stringsStatus;
    if (!openStrings(strings, argv[1], stringsStatus)) {
        sayCannotOpen(argv[1]);
        return 2;
    }

    QFile table;
    if (!openOutput(table, tablePath(argv[0]).constData(), stringsStatus)) {
        sayCannotOpenForWrite(tableFileName);
        return 3;
    }

    WholeCharacters characters(strings);
    QTextStream input(&characters);
    QTextStream output(&table);
    output.setEncoding(QStringConverter::Utf8);

    checkStrings(input, output, stdout);

    // Everything the table stream held must reach the file.
    output.flush();
    const bool written = finishOutput(table) && output.status() == QTextStream::Ok;
    const bool read = finishStrings(strings);

    // The report goes out before any message, so that the two keep their order when merged.
    const bool reported = finishStandardOutput();
    if (!read) {
        sayCannotRead(argv[1]);
        return 2;
    }
    if (!written) {
        sayCannotWrite(tableFileName);
        return 3;
    }
    if (!reported) {
        sayCannotWriteOutput();
        return 4;
    }
    return 0;
}
