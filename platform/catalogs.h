#ifndef ZAPPBASE_CATALOGS_H
#define ZAPPBASE_CATALOGS_H

// Which catalogs of a directory serve a language, and loading them.

#include "catalog.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

struct LoadedCatalogs
{
    std::vector<std::unique_ptr<Catalog>> catalogs; // one per component, first to answer first
    QStringList components;                         // the component of each catalog
    QStringList files;                              // the file name of each catalog
    // The file names of the catalogs there for the language that could not be loaded, by
    // their bytes, in the order they were tried.
    QList<QByteArray> broken;
};

// The catalog directory, opened by its own bytes: a name that is not valid UTF-8 has no
// faithful QString, and its decoded form may name another directory. Every file in it is then
// opened through this descriptor, by its own bytes too, so that no path is ever rebuilt.
struct CatalogDirectory
{
    explicit CatalogDirectory(const QByteArray &bytes);
    ~CatalogDirectory();
    CatalogDirectory(const CatalogDirectory &) = delete;
    CatalogDirectory &operator=(const CatalogDirectory &) = delete;

    int fd = -1; // -1 when it cannot be opened
};

// The locales the directory's catalog names carry, each once, as the toolkit spells it, sorted.
QStringList catalogLocales(const CatalogDirectory &directory);

// For every component of the directory, the first catalog in the order of `languages` that
// loads. A catalog that is there but does not load is noted and the next name tried.
LoadedCatalogs loadCatalogs(const CatalogDirectory &directory, const QStringList &languages);

#endif
