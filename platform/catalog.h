#ifndef ZAPPBASE_CATALOG_H
#define ZAPPBASE_CATALOG_H

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// One catalog as the platform installs it: the file read once and checked, and the catalogs it
// depends on, each read the same way. It answers exactly as a QTranslator loaded from the file
// would, dependencies included, from the platform's own copy of the bytes: what happens to
// the files during a run changes nothing. Asking changes nothing in it either (the toolkit's
// QTranslator::translate only reads the bytes), so that several threads may ask one catalog at
// the same time, as the languages sharing it do.
class Catalog
{
  public:
    // The catalog file `name` (by its bytes) in the directory open on directoryFd. Null when it,
    // or a catalog it depends on, is broken: unreadable, no sound catalog, a dependency the
    // toolkit would not find, a chain of dependencies that comes back to a catalog of its own,
    // or more than maxFiles catalogs in all. fault then says why, as the notice tells it: the
    // file's own fault ("not a catalog"), or "missing dependency 'NAME'", "dependency 'NAME'
    // loops back", "dependency 'NAME' is broken: " and that one's fault, or "more than 64
    // catalogs with its dependencies"; NAME as the catalog names it, in UTF-8.
    static std::unique_ptr<Catalog> load(int directoryFd, const QByteArray &name,
                                         QByteArray &fault);
    ~Catalog();
    Catalog(const Catalog &) = delete;
    Catalog &operator=(const Catalog &) = delete;

    // How many catalogs one may bring in all, itself and each dependency counted every time it
    // is named (as the toolkit loads them), so that neither loading nor a lookup can run away.
    static constexpr int maxFiles = 64;

    QString translate(const char *context, const char *sourceText, const char *comment,
                      int n) const;
    bool isEmpty() const;
    // Appends the hash of every message of this catalog and of the catalogs it depends on.
    void appendHashes(std::vector<quint32> &hashes) const;

    struct File;

  private:
    Catalog();
    // Each file once, the catalog's own first.
    std::vector<std::unique_ptr<File>> files;
};

#endif
