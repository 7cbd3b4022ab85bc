#include "runfiles.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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

bool finishStrings(QFile &file)
{
    const bool read = file.error() == QFile::NoError;
    file.close();
    return read;
}

bool finishStandardOutput()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void sayCannotOpen(const char *path)
{
    std::fprintf(stderr, "Cannot open '%s' file for read.\n", path);
}

void sayCannotRead(const char *path)
{
    std::fprintf(stderr, "Cannot read '%s' file.\n", path);
}

void sayCannotWriteOutput()
{
    std::fprintf(stderr, "Cannot write the report to standard output.\n");
}
