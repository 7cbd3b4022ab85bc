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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool isSame(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the descriptor writes to the same file.
bool writesTo(int fd, const struct stat &file)
{
    struct stat status;
    return ::fstat(fd, &status) == 0 && isSame(status, file);
}

// Opens the table for writing and empties it, unless it is a file the run must not write:
// the strings file, which would be destroyed before a line is read, or the file standard
// output or standard error goes to, which would mix the report or the platform's notices into
// the table. Nothing is emptied before those are ruled out. A FIFO without a reader would
// block the open: it fails instead.
bool openTable(QFile &file, const char *path, const struct stat &strings)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat table;
    const bool usable = ::fstat(fd, &table) == 0 && !isSame(table, strings) &&
                        !writesTo(STDOUT_FILENO, table) && !writesTo(STDERR_FILENO, table) &&
                        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
                        (!S_ISREG(table.st_mode) || ::ftruncate(fd, 0) == 0) &&
                        file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (!usable)
        ::close(fd);
    return usable;
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
    if (!openTable(table, tablePath(argv[0]).constData(), stringsStatus)) {
        std::fprintf(stderr, "Cannot open '%s' file for write.\n", tableFileName);
        return 3;
    }

    WholeCharacters characters(strings);
    QTextStream input(&characters);
    QTextStream output(&table);
    output.setEncoding(QStringConverter::Utf8);

    checkStrings(input, output, stdout);

    // Everything the table stream held must reach the file.
    output.flush();
    bool written = output.status() == QTextStream::Ok && table.flush();
    table.close();
    written = written && table.error() == QFile::NoError;
    const bool read = finishStrings(strings);

    // The report goes out before any message, so that the two keep their order when merged.
    const bool reported = finishStandardOutput();
    if (!read) {
        sayCannotRead(argv[1]);
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "Cannot write '%s' file.\n", tableFileName);
        return 3;
    }
    if (!reported) {
        sayCannotWriteOutput();
        return 4;
    }
    return 0;
}
