#ifndef ZAPPBASE_CATALOGS_H
#define ZAPPBASE_CATALOGS_H

// Which catalogs of a directory serve a language, and loading them: the directory listed once
// and each catalog file read once for every language that lives at the same time.

#include "catalog.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <utility>
#include <vector>

struct LoadedCatalogs
{
    // One per component, first to answer first; shared with every language it serves.
    std::vector<std::shared_ptr<const Catalog>> catalogs;
    QStringList components; // the component of each catalog, as bytesAsText shows it
    QStringList files;      // the file name of each catalog
    // The catalogs there for the language that could not be loaded, in the order they were
    // tried: the file name by its bytes, and why (see Catalog::load).
    struct Broken
    {
        QByteArray file, fault;
    };
    std::vector<Broken> broken;
};

// The catalog directory, opened by its own bytes: a name that is not valid UTF-8 has no
// faithful QString, and its decoded form may name another directory. Every file in it is then
// opened through its descriptor, by its own bytes too, so that no path is ever rebuilt.
//
// Listed once and shared: every CatalogDirectory::open of the same directory (the same file
// system object, whatever the path) while an earlier one is still held returns that one, with
// its listing and the catalogs it has loaded, however the directory changed since. Once none
// is held, the next open lists the directory as it is then. Thread-safe.
class CatalogDirectory
{
  public:
    // The directory named by these bytes, as described above. Never null: a directory that
    // cannot be opened has no catalogs.
    static std::shared_ptr<CatalogDirectory> open(const QByteArray &bytes);
    // The locales the directory's catalog names carry, each once, as the toolkit spells it,
    // sorted. When no one holds the directory, the listing made for them is kept for the next
    // open(), of any directory, which takes it if it is of the same directory and that has
    // not changed since: a program that asks which languages there are and then loads them
    // lists the directory once.
    static QStringList listLocales(const QByteArray &bytes);

    ~CatalogDirectory();
    CatalogDirectory(const CatalogDirectory &) = delete;
    CatalogDirectory &operator=(const CatalogDirectory &) = delete;

    // For every component of the directory, the first catalog in the order of `languages` that
    // loads. A catalog that is there but does not load is noted and the next name tried. Each
    // file is read and checked at most once while the catalog it gave is in use (a broken one
    // once while this directory is held), however many languages ask for it.
    LoadedCatalogs load(const QStringList &languages);

  private:
    CatalogDirectory() = default;
    // The locales of the listing, as listLocales gives them.
    QStringList locales() const;
    static std::shared_ptr<CatalogDirectory> list(int fd, const struct stat &status);
    // Whether this listing, made for listLocales, still tells the directory's entries.
    bool unchangedSince(const struct stat &status) const;

    int directoryFd = -1; // -1 when it cannot be opened
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified = {}; // the directory's, when it was listed
    bool settled = false;   // modified long enough before the listing to tell a later change
    // A catalog file of the listing, and what reading it gave.
    struct File
    {
        QByteArray name;
        std::weak_ptr<const Catalog> catalog;
        bool broken = false;
        QByteArray fault; // why it is broken
    };
    // Components in code-unit order of their names decoded as the toolkit decodes a file name
    // (an invalid byte as U+FFFD, a leading U+FEFF dropped), so that the one whose name sorts
    // first answers first; names that decode the same by their bytes. Each maps the locales its
    // catalog names spell to the files. Their readings are guarded by loading.
    std::map<std::pair<QString, QByteArray>, std::map<QString, File>> components;
    QStringList canonicalLocales; // of each catalog, as the toolkit spells it
    std::mutex loading;
};

#endif
