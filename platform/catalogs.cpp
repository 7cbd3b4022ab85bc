#include "catalogs.h"

#include "bytesastext.h"
#include "catalognames.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The directories in use, by file system object, and the one listLocales listed last.
struct Registry
{
    std::mutex mutex;
    std::map<std::pair<dev_t, ino_t>, std::weak_ptr<CatalogDirectory>> inUse;
    std::shared_ptr<CatalogDirectory> handedOver;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

// How long before its listing a directory must have last changed for a later change to show
// in its modification time, whatever the file system keeps of it: whole seconds, or two, and
// the kernel's clock ticks.
constexpr time_t settledSeconds = 3;

bool before(const timespec &a, const timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The directory named by these bytes, opened, and its status; -1 when it cannot be.
int openDirectory(const QByteArray &bytes, struct stat &status)
{
    const int fd = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 && ::fstat(fd, &status) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The directory of that status while it is in use; null when none is.
std::shared_ptr<CatalogDirectory> held(Registry &shared, const struct stat &status)
{
    const auto found = shared.inUse.find({status.st_dev, status.st_ino});
    return found == shared.inUse.end() ? nullptr : found->second.lock();
}

} // namespace

CatalogDirectory::~CatalogDirectory()
{
    if (directoryFd >= 0)
        ::close(directoryFd);
}

// Every entry whose name reads as a catalog's, whatever it is: a directory, a FIFO or a
// dangling link named like a catalog is a catalog the user meant to install and that cannot be
// loaded. Hidden names and names that are not valid UTF-8 are catalogs like any other.
std::shared_ptr<CatalogDirectory> CatalogDirectory::list(int fd, const struct stat &status)
{
    std::shared_ptr<CatalogDirectory> directory(new CatalogDirectory);
    directory->directoryFd = fd;
    directory->device = status.st_dev;
    directory->inode = status.st_ino;
    directory->modified = status.st_mtim;
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec -= settledSeconds;
    directory->settled = before(status.st_mtim, now);

    const int listingFd = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *const listing = listingFd < 0 ? nullptr : ::fdopendir(listingFd);
    if (!listing) {
        if (listingFd >= 0)
            ::close(listingFd);
        return directory;
    }
    CatalogName name;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray file(entry->d_name);
        if (!readCatalogName(file, name))
            continue;
        directory->components[{QFile::decodeName(name.component), name.component}][name.locale]
            .name = file;
        directory->canonicalLocales.append(name.canonical);
    }
    ::closedir(listing);
    return directory;
}

// Sorted only when asked, as loading a language needs no list of them.
QStringList CatalogDirectory::locales() const
{
    QStringList sorted = canonicalLocales;
    sorted.sort();
    sorted.removeDuplicates();
    return sorted;
}

bool CatalogDirectory::unchangedSince(const struct stat &status) const
{
    return settled && status.st_dev == device && status.st_ino == inode &&
           status.st_mtim.tv_sec == modified.tv_sec && status.st_mtim.tv_nsec == modified.tv_nsec;
}

std::shared_ptr<CatalogDirectory> CatalogDirectory::open(const QByteArray &bytes)
{
    Registry &shared = registry();
    const std::lock_guard<std::mutex> lock(shared.mutex);
    // Handed over to this call only, whichever directory it opens.
    const std::shared_ptr<CatalogDirectory> handedOver = std::move(shared.handedOver);
    struct stat status;
    const int fd = openDirectory(bytes, status);
    if (fd < 0)
        return std::shared_ptr<CatalogDirectory>(new CatalogDirectory);
    // The held directory keeps its descriptor open, so no other directory can take its inode.
    if (std::shared_ptr<CatalogDirectory> inUse = held(shared, status)) {
        ::close(fd);
        return inUse;
    }
    std::shared_ptr<CatalogDirectory> directory;
    if (handedOver && handedOver->unchangedSince(status)) {
        ::close(fd);
        directory = handedOver;
    } else {
        directory = list(fd, status);
    }
    for (auto entry = shared.inUse.begin(); entry != shared.inUse.end();)
        entry = entry->second.expired() ? shared.inUse.erase(entry) : std::next(entry);
    shared.inUse[{status.st_dev, status.st_ino}] = directory;
    return directory;
}

QStringList CatalogDirectory::listLocales(const QByteArray &bytes)
{
    Registry &shared = registry();
    const std::lock_guard<std::mutex> lock(shared.mutex);
    shared.handedOver.reset();
    struct stat status;
    const int fd = openDirectory(bytes, status);
    if (fd < 0)
        return {};
    if (const std::shared_ptr<CatalogDirectory> inUse = held(shared, status)) {
        ::close(fd);
        return inUse->locales();
    }
    shared.handedOver = list(fd, status);
    return shared.handedOver->locales();
}

LoadedCatalogs CatalogDirectory::load(const QStringList &languages)
{
    const std::lock_guard<std::mutex> lock(loading);
    LoadedCatalogs found;
    for (auto &[component, files] : components) {
        for (const QString &language : languages) {
            const auto entry = files.find(language);
            if (entry == files.end())
                continue;
            File &file = entry->second;
            std::shared_ptr<const Catalog> catalog = file.catalog.lock();
            if (!catalog && !file.broken) {
                catalog = Catalog::load(directoryFd, file.name, file.fault);
                file.catalog = catalog;
                file.broken = !catalog;
            }
            if (catalog) {
                found.catalogs.push_back(std::move(catalog));
                found.components.append(bytesAsText(component.second));
                found.files.append(QFile::decodeName(file.name));
                break;
            }
            found.broken.push_back({file.name, file.fault});
        }
    }
    return found;
}
