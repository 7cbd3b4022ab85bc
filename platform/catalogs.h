#ifndef ZAPPBASE_CATALOGS_H
#define ZAPPBASE_CATALOGS_H

// Which catalogs of a directory serve a language, and loading them.

#include <QByteArray>
#include <QList>
#include <QStringList>

class QLocale;
class QTranslator;

struct LoadedCatalogs
{
    QList<QTranslator *> catalogs; // one per component, first to answer first; the caller owns them
    QStringList components;        // the component of each catalog
    QStringList files;             // the file name of each catalog
    QStringList broken;            // file names there for the language that did not load, once each
};

// The locale names a catalog may carry for the language, best first: the name given with -lang
// itself (so that names the locale database does not know, such as xx, en_XA or ca_valencia,
// still find their catalogs), then the toolkit's own fallback order for the locale.
QStringList languageNames(const QLocale &locale, const QString &given);

// The catalog directory, opened by its own bytes: a name that is not valid UTF-8 has no
// faithful QString, and its decoded form may name another directory. The toolkit reaches it
// through `path` for as long as this is open, so keep it open while catalog files are read.
struct CatalogDirectory
{
    explicit CatalogDirectory(const QByteArray &bytes);
    ~CatalogDirectory();
    CatalogDirectory(const CatalogDirectory &) = delete;
    CatalogDirectory &operator=(const CatalogDirectory &) = delete;

    int fd = -1;  // -1 when it cannot be opened
    QString path; // null when it cannot be opened
};

// The locale names that the directory's catalog names carry, sorted.
QStringList catalogLocales(const CatalogDirectory &directory);

// For every component of the directory, the first catalog in the order of `languages` that
// loads. A catalog that is there but does not load is noted and the next name tried.
LoadedCatalogs loadCatalogs(const CatalogDirectory &directory, const QStringList &languages);

#endif
