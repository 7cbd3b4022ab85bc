#include "catalog.h"

#include "qmfile.h"

#include <QFile>
#include <QTranslator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct Catalog::File
{
    QmImage image;
    // Declared after the image, so that it is gone before the bytes it reads.
    QTranslator reader;
    std::vector<const File *> dependencies;
};

namespace {

// A FIFO or a device named like a catalog must neither block the run nor be read. -1 when the
// file cannot be opened or is no regular file, and fault says which.
int openFile(int directoryFd, const QByteArray &path, QmFault &fault)
{
    const int fd =
        ::openat(directoryFd, path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        fault = QmFault::Unreadable;
        return -1;
    }
    struct stat status;
    const bool stated = ::fstat(fd, &status) == 0;
    if (!stated || !S_ISREG(status.st_mode)) {
        fault = stated ? QmFault::NotRegularFile : QmFault::Unreadable;
        ::close(fd);
        return -1;
    }
    return fd;
}

// The file QTranslator::load(name, directory) takes for a dependency: the first readable file
// of name.qm and name, then of the same with what follows the last '_' or '.' cut off, and so
// on. A relative name is taken in the catalog directory, where the toolkit also looks for the
// dependencies of a dependency.
int openDependency(int directoryFd, const QString &name)
{
    // A name in the toolkit's resources is none of the platform's files.
    if (name.startsWith(u':'))
        return -1;
    QmFault ignored;
    for (QStringView stem(name);;) {
        for (const QString &candidate : {stem.toString() + QLatin1String(".qm"), stem.toString()}) {
            const int fd = openFile(directoryFd, QFile::encodeName(candidate), ignored);
            if (fd >= 0)
                return fd;
        }
        const qsizetype cut = std::max(stem.lastIndexOf(u'_'), stem.lastIndexOf(u'.'));
        if (cut <= 0)
            return -1;
        stem.truncate(cut);
    }
}

// A dependency's name for a notice: as the catalog names it, in UTF-8, with control characters
// (C0, DEL and C1) shown as '?' so that a catalog cannot write to the terminal through it.
QByteArray shownName(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return "'" + name.toUtf8() + "'";
}

// Loads a catalog file and, depth first, what it depends on; a file met twice is loaded once.
struct Loader
{
    Loader(int directoryFd, std::vector<std::unique_ptr<Catalog::File>> &files)
        : directoryFd(directoryFd), files(files)
    {
    }

    int directoryFd;
    std::vector<std::unique_ptr<Catalog::File>> &files;
    struct Known
    {
        dev_t device;
        ino_t inode;
        int loads; // the toolkit's count: itself and, each time named, its dependencies
        bool done;
    };
    std::vector<Known> known; // by place in files
    // Why the last load failed. Too many catalogs is a fault of the whole chain, told once
    // rather than through every dependency that led to it; a file met again before it is done
    // is told by the one that names it.
    QByteArray fault;
    bool tooMany = false, loopedBack = false;

    int failTooMany()
    {
        tooMany = true;
        fault = "more than " + QByteArray::number(Catalog::maxFiles) +
                " catalogs with its dependencies";
        return -1;
    }

    // The place in files of the catalog file open on fd, which this closes; -1 when broken.
    int load(int fd)
    {
        struct stat status;
        if (::fstat(fd, &status) != 0) {
            ::close(fd);
            fault = faultPhrase(QmFault::Unreadable);
            return -1;
        }
        for (size_t i = 0; i < known.size(); ++i) {
            if (known[i].device == status.st_dev && known[i].inode == status.st_ino) {
                ::close(fd);
                // Met again before it is done: it depends on itself.
                loopedBack = !known[i].done;
                return known[i].done ? int(i) : -1;
            }
        }
        if (files.size() >= size_t(Catalog::maxFiles)) {
            ::close(fd);
            return failTooMany();
        }
        auto file = std::make_unique<Catalog::File>();
        const QmFault read = readQm(fd, file->image);
        ::close(fd);
        if (read != QmFault::None) {
            fault = faultPhrase(read);
            return -1;
        }
        const int place = int(files.size());
        files.push_back(std::move(file));
        known.push_back({status.st_dev, status.st_ino, 1, false});
        int loads = 1;
        for (const QString &name : std::as_const(files[size_t(place)]->image.dependencies)) {
            const int dependencyFd = openDependency(directoryFd, name);
            if (dependencyFd < 0) {
                fault = "missing dependency " + shownName(name);
                return -1;
            }
            const int dependency = load(dependencyFd);
            if (dependency < 0) {
                if (loopedBack) {
                    loopedBack = false;
                    fault = "dependency " + shownName(name) + " loops back";
                } else if (!tooMany) {
                    fault = "dependency " + shownName(name) + " is broken: " + fault;
                }
                return -1;
            }
            loads += known[size_t(dependency)].loads;
            if (loads > Catalog::maxFiles)
                return failTooMany();
            files[size_t(place)]->dependencies.push_back(files[size_t(dependency)].get());
        }
        known[size_t(place)].loads = loads;
        known[size_t(place)].done = true;
        Catalog::File &loaded = *files[size_t(place)];
        if (!loaded.reader.load(loaded.image.data.get(), loaded.image.size)) {
            fault = "refused by the toolkit";
            return -1;
        }
        return place;
    }
};

// As QTranslator answers: its own messages, then its dependencies in order. It asks them only
// when its context table lets it look, and, once it has looked among messages of its own,
// without the comment, which its failed lookup has dropped by then.
QString ask(const Catalog::File &file, const char *context, const char *sourceText,
            const char *comment, int n)
{
    QString answer = file.reader.translate(context, sourceText, comment, n);
    if (!answer.isNull() || file.dependencies.empty())
        return answer;
    if (file.image.hashesLength != 0) {
        if (!holdsContext(file.image, context ? context : ""))
            return {};
        comment = "";
    }
    for (const Catalog::File *dependency : file.dependencies) {
        answer = ask(*dependency, context, sourceText, comment, n);
        if (!answer.isNull())
            return answer;
    }
    return {};
}

} // namespace

Catalog::Catalog() = default;
Catalog::~Catalog() = default;

std::unique_ptr<Catalog> Catalog::load(int directoryFd, const QByteArray &name, QByteArray &fault)
{
    QmFault opened = QmFault::None;
    const int fd = openFile(directoryFd, name, opened);
    if (fd < 0) {
        struct stat status;
        // The entry is there, named like a catalog: a link it cannot be opened through leads
        // nowhere.
        const bool link =
            opened == QmFault::Unreadable && (errno == ENOENT || errno == ELOOP) &&
            ::fstatat(directoryFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(status.st_mode);
        fault = link ? QByteArray("a link to nothing") : QByteArray(faultPhrase(opened));
        return nullptr;
    }
    std::unique_ptr<Catalog> catalog(new Catalog);
    Loader loader(directoryFd, catalog->files);
    if (loader.load(fd) != 0) {
        fault = loader.fault;
        return nullptr;
    }
    return catalog;
}

QString Catalog::translate(const char *context, const char *sourceText, const char *comment,
                           int n) const
{
    return ask(*files.front(), context, sourceText, comment, n);
}

bool Catalog::isEmpty() const
{
    return files.front()->reader.isEmpty() && files.front()->dependencies.empty();
}

void Catalog::appendHashes(std::vector<quint32> &hashes) const
{
    for (const std::unique_ptr<File> &file : files) {
        const uchar *const table = file->image.data.get() + file->image.hashes;
        for (quint32 at = 0; at < file->image.hashesLength; at += 8)
            hashes.push_back(qFromBigEndian<quint32>(table + at));
    }
}
