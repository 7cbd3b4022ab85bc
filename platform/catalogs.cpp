#include "catalogs.h"

#include "catalognames.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <unistd.h>
#include <utility>

namespace {

// Every entry whose name reads as a catalog's, whatever it is: a directory, a FIFO or a
// dangling link named like a catalog is a catalog the user meant to install and that cannot be
// loaded. Hidden names and names that are not valid UTF-8 are catalogs like any other.
std::vector<std::pair<QByteArray, CatalogName>> catalogEntries(const CatalogDirectory &directory)
{
    std::vector<std::pair<QByteArray, CatalogName>> entries;
    const int fd =
        directory.fd < 0 ? -1 : ::openat(directory.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *const listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!listing) {
        if (fd >= 0)
            ::close(fd);
        return entries;
    }
    CatalogName name;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray file(entry->d_name);
        if (readCatalogName(file, name))
            entries.emplace_back(file, name);
    }
    ::closedir(listing);
    return entries;
}

} // namespace

CatalogDirectory::CatalogDirectory(const QByteArray &bytes)
    : fd(::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

CatalogDirectory::~CatalogDirectory()
{
    if (fd >= 0)
        ::close(fd);
}

QStringList catalogLocales(const CatalogDirectory &directory)
{
    std::set<QString> locales;
    for (const auto &[file, name] : catalogEntries(directory))
        locales.insert(name.canonical);
    return QStringList(locales.cbegin(), locales.cend());
}

LoadedCatalogs loadCatalogs(const CatalogDirectory &directory, const QStringList &languages)
{
    // Components in code-unit order of their names as shown, so that the one whose name sorts
    // first answers first; names that show the same (not valid UTF-8) by their bytes.
    std::map<std::pair<QString, QByteArray>, std::map<QString, QByteArray>> components;
    for (auto &[file, name] : catalogEntries(directory))
        components[{QFile::decodeName(name.component), name.component}][name.locale] = file;

    LoadedCatalogs found;
    for (const auto &[component, files] : components) {
        for (const QString &language : languages) {
            const auto file = files.find(language);
            if (file == files.end())
                continue;
            if (std::unique_ptr<Catalog> catalog = Catalog::load(directory.fd, file->second)) {
                found.catalogs.push_back(std::move(catalog));
                found.components.append(component.first);
                found.files.append(QFile::decodeName(file->second));
                break;
            }
            found.broken.append(file->second);
        }
    }
    return found;
}
