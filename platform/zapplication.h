#ifndef ZAPPLICATION_H
#define ZAPPLICATION_H

#include <QCoreApplication>
#include <QList>

class QTranslator;

// The platform's application object. Constructing it makes the platform's catalogs answer
// the toolkit's translation lookup (QObject::tr) for the rest of the run.
//
// Like a toolkit application taking its own options, the constructor removes these from
// argc/argv, wherever they stand, before the program counts its arguments:
//   -translations DIR   the directory of the platform's catalogs (default: fixed at build time)
//   -lang LOCALE        the language, e.g. de or pt_BR (default: the system's, as the toolkit's
//                       own loader takes it: LANGUAGE, a list, else LC_ALL, LC_MESSAGES, LANG)
//
// Catalogs are Qt .qm files named NAME_LOCALE.qm, one per component NAME (see zcatalogs.h and
// the README for how a name reads). For every component found in the directory, the catalog
// for the language is the first there of: the name given with -lang itself (xx, en_XA,
// ca_valencia), then the names the toolkit's loader tries for the language (de_AT, then de). A
// catalog is read once, checked, and answered from the platform's own copy; one that is broken
// is skipped for the next in that order. When several catalogs translate the same text, the
// component whose name sorts first (in code-unit order) answers.
//
// On the application's first lookup in the QObject context, never before, the platform says
// on standard error, once, what it could not install:
//   ZApplication: cannot load catalog 'DIR/FILE': REASON        (each, whether or not others load)
//   ZApplication: no catalog for language 'LOCALE' in 'DIR'     (none loaded, none broken)
// where REASON is the first fault found, such as "not a catalog" (the README lists them).
//
// Exported from libzappbase.so.1, as ZCatalogs is; nothing else there is.
class Q_DECL_EXPORT ZApplication : public QCoreApplication
{
  public:
    enum Type { Tty = 0, GuiClient = 1, GuiServer = 2 };

    ZApplication(int &argc, char **argv, Type type);
    ~ZApplication() override;

  private:
    // The translators it installed, each removed before it is deleted.
    QList<QTranslator *> catalogs;
};

#endif
