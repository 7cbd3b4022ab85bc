#ifndef ZCATALOGS_H
#define ZCATALOGS_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class ZCatalogsPrivate;

// The platform's catalogs for one language, exactly as ZApplication installs them for its
// language, for tools that look at what the platform translates in many languages at once and
// which component answers. ZApplication itself is built on this class: the same directory, the
// same choice of catalog per component, the same answering order.
//
// Nothing is installed in the application: a ZCatalogs answers only when asked, and several
// may live side by side, one per language. Each may be used from one thread at a time, while
// others are used from other threads.
//
// What ZCatalogs of the same directory living at the same time share: the directory is listed
// once, by the first of them, and every catalog file is opened, read and checked once, by the
// first that takes it, whose copy every later one that takes the same file (NAME_de.qm for de
// and for de_AT) answers from; a broken one is noted once. The listing lasts as long as one of
// them lives, a catalog as long as one that took it (or the ZApplication that installed it)
// lives; a directory renamed, rewritten or filled in the meantime changes nothing for them.
// Once all are gone, the next ZCatalogs reads the directory as it is then. languages() lists
// the directory for the next ZCatalogs made, which takes that listing over if it is of the
// same directory and that has not changed since. All of this is safe from several threads.
class Q_DECL_EXPORT ZCatalogs
{
  public:
    // What one component's catalog answers.
    struct Answer
    {
        int component; // index into components()
        QString text;
    };

    // Loads, for every component of the catalog directory, its catalog for the language.
    // directory: the catalog directory by its own bytes (a name need not be valid UTF-8); null
    // for the platform's default. language: a name as ZApplication's -lang takes it (de, pt_BR,
    // en_XA); empty for the system's language, as the toolkit's own loader takes it.
    explicit ZCatalogs(const QByteArray &directory = QByteArray(),
                       const QString &language = QString());
    ~ZCatalogs();
    ZCatalogs(const ZCatalogs &) = delete;
    ZCatalogs &operator=(const ZCatalogs &) = delete;

    // The directory used when none is given.
    static QByteArray defaultDirectory();
    // The languages that directory holds at least one catalog for, as the platform reads
    // catalog names (NAME_LOCALE.qm), each once as the toolkit spells it (pt_BR for a
    // catalog named app_pt_br.qm), sorted by name. Null directory: the default.
    static QStringList languages(const QByteArray &directory = QByteArray());

    // The components that have a catalog for the language, in answering order: the one whose
    // name sorts first (by UTF-16 code unit, decoded as UTF-8 with an invalid byte as U+FFFD
    // and a leading U+FEFF dropped; names that decode alike by their bytes) answers first. A
    // catalog without messages counts. Each name is shown so that two different names never
    // read the same: UTF-8 where it is valid (a leading U+FEFF kept), each other byte as \xhh
    // in lowercase hex, and a backslash as \\ (caf\xe9 is the byte 0xE9, caf\\xe9 a name that
    // spells it in ASCII).
    QStringList components() const;
    // What ZApplication says on standard error about these catalogs: a line per broken catalog,
    // with why it is broken, or the line that no catalog was found; empty when all is well.
    QByteArray notice() const;

    // What the platform answers for sourceText (UTF-8) in the QObject context with sourceText as
    // its comment, as QObject::tr(sourceText, sourceText) does under ZApplication: the answer of
    // the first component that has one. Null when no catalog answers.
    QString translate(const char *sourceText) const;
    // Every component whose catalog answers sourceText, asked on its own as above, in answering
    // order: the first is what translate() gives.
    QList<Answer> answers(const char *sourceText) const;

  private:
    friend class ZApplication;
    std::unique_ptr<ZCatalogsPrivate> d;
};

#endif
