#include "checkstrings.h"
#include "platform.h"
#include "table.h"
#include "wholecharacters.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens the strings file by the argument's own bytes, since a file name need not be valid
// UTF-8. A directory opens but reads nothing, so it counts as unreadable.
bool openStrings(QFile &file, const char *path, struct stat &status)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// The table goes beside the program as it was started (argv[0] unchanged); a bare name
// resolves against the working directory.
QString tablePath(const char *programPath)
{
    const QString directory = QFileInfo(QFile::decodeName(programPath)).absolutePath();
    return QStringLiteral("%1/%2").arg(directory, QLatin1String(tableFileName));
}

// Opening the table empties it: when it is the strings file itself, that would destroy the
// input before a line is read.
bool isSameFile(const QString &path, const struct stat &strings)
{
    struct stat table;
    return ::stat(QFile::encodeName(path).constData(), &table) == 0 &&
           table.st_dev == strings.st_dev && table.st_ino == strings.st_ino;
}

} // namespace

int main(int argc, char **argv)
{
    ZApplication application(argc, argv, ZApplication::GuiClient);

    if (argc != 2) {
        std::fprintf(stderr, "Usage:\n\t%s Strings.txt\n", argc > 0 ? argv[0] : "trcheck");
        return 1;
    }

    QFile strings;
    struct stat stringsStatus;
    if (!openStrings(strings, argv[1], stringsStatus)) {
        std::fprintf(stderr, "Cannot open '%s' file for read.\n", argv[1]);
        return 2;
    }

    QFile table(tablePath(argv[0]));
    if (isSameFile(table.fileName(), stringsStatus) || !table.open(QIODevice::WriteOnly)) {
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
    const bool read = strings.error() == QFile::NoError;
    strings.close();

    // The report goes out before any message, so that the two keep their order when merged.
    const bool reported = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!read) {
        std::fprintf(stderr, "Cannot read '%s' file.\n", argv[1]);
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "Cannot write '%s' file.\n", tableFileName);
        return 3;
    }
    if (!reported) {
        std::fprintf(stderr, "Cannot write the report to standard output.\n");
        return 4;
    }
    return 0;
}
