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

namespace {

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

// Whether the output may be written: not over the strings file, nor into the file standard
// output or standard error goes to, where two writers would destroy or mix each other's bytes.
// A character device (/dev/null, a terminal) keeps nothing, and is often where all output goes.
bool mayWrite(const struct stat &output, const struct stat &strings)
{
    return S_ISCHR(output.st_mode) ||
           (!isSame(output, strings) && !writesTo(STDOUT_FILENO, output) &&
            !writesTo(STDERR_FILENO, output));
}

} // namespace

bool openOutput(QFile &file, const char *path, const struct stat &strings)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat output;
    const bool usable =
        ::fstat(fd, &output) == 0 && mayWrite(output, strings) &&
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
        (!S_ISREG(output.st_mode) || ::ftruncate(fd, 0) == 0) &&
        file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    if (!usable)
        ::close(fd);
    return usable;
}

bool finishOutput(QFile &file)
{
    const bool flushed = file.flush();
    file.close();
    return flushed && file.error() == QFile::NoError;
}

bool finishStrings(QFile &file)
{
    const bool read = file.error() == QFile::NoError;
    file.close();
    return read;
}

bool openStandardOutput(QFile &file)
{
    // Unbuffered: the writer hands over its own chunks, and a refused one is known at once.
    file.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
              QFileDevice::DontCloseHandle);
    return ::isatty(STDOUT_FILENO) == 1;
}

void sayCannotOpen(const char *path)
{
    std::fprintf(stderr, "Cannot open '%s' file for read.\n", path);
}

void sayCannotRead(const char *path)
{
    std::fprintf(stderr, "Cannot read '%s' file.\n", path);
}

void sayCannotOpenForWrite(const char *path)
{
    std::fprintf(stderr, "Cannot open '%s' file for write.\n", path);
}

void sayCannotWrite(const char *path)
{
    std::fprintf(stderr, "Cannot write '%s' file.\n", path);
}

void sayCannotWriteOutput()
{
    std::fprintf(stderr, "Cannot write the report to standard output.\n");
}
