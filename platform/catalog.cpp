#include "catalog.h"

#include "qmfile.h"

#include <QFile>
#include <QTranslator>
#include <QtEndian>

#include <algorithm>
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

// A FIFO or a device named like a catalog must neither block the run nor be read.
int openFile(int directoryFd, const QByteArray &path)
{
    const int fd =
        ::openat(directoryFd, path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat status;
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
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
    for (QStringView stem(name);;) {
        for (const QString &candidate : {stem.toString() + QLatin1String(".qm"), stem.toString()}) {
            const int fd = openFile(directoryFd, QFile::encodeName(candidate));
            if (fd >= 0)
                return fd;
        }
        const qsizetype cut = std::max(stem.lastIndexOf(u'_'), stem.lastIndexOf(u'.'));
        if (cut <= 0)
            return -1;
        stem.truncate(cut);
    }
}

// Loads a catalog file and, depth first, what it depends on; a file met twice is loaded once.
struct Loader
{
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

    // The place in files of the catalog file open on fd, which this closes; -1 when broken.
    int load(int fd)
    {
        struct stat status;
        const bool read = ::fstat(fd, &status) == 0;
        for (size_t i = 0; read && i < known.size(); ++i) {
            if (known[i].device == status.st_dev && known[i].inode == status.st_ino) {
                ::close(fd);
                // Met again before it is done: it depends on itself.
                return known[i].done ? int(i) : -1;
            }
        }
        auto file = std::make_unique<Catalog::File>();
        const bool sound =
            read && files.size() < size_t(Catalog::maxFiles) && readQm(fd, file->image);
        ::close(fd);
        if (!sound)
            return -1;
        const int place = int(files.size());
        files.push_back(std::move(file));
        known.push_back({status.st_dev, status.st_ino, 1, false});
        int loads = 1;
        for (const QString &name : std::as_const(files[size_t(place)]->image.dependencies)) {
            const int dependencyFd = openDependency(directoryFd, name);
            const int dependency = dependencyFd < 0 ? -1 : load(dependencyFd);
            if (dependency < 0)
                return -1;
            loads += known[size_t(dependency)].loads;
            if (loads > Catalog::maxFiles)
                return -1;
            files[size_t(place)]->dependencies.push_back(files[size_t(dependency)].get());
        }
        known[size_t(place)].loads = loads;
        known[size_t(place)].done = true;
        Catalog::File &loaded = *files[size_t(place)];
        return loaded.reader.load(loaded.image.data.get(), loaded.image.size) ? place : -1;
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

std::unique_ptr<Catalog> Catalog::load(int directoryFd, const QByteArray &name)
{
    std::unique_ptr<Catalog> catalog(new Catalog);
    Loader loader{directoryFd, catalog->files, {}};
    const int fd = openFile(directoryFd, name);
    if (fd < 0 || loader.load(fd) != 0)
        return nullptr;
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
