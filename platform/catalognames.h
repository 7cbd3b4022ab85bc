#ifndef ZAPPBASE_CATALOGNAMES_H
#define ZAPPBASE_CATALOGNAMES_H

// How the platform reads catalog file names and which locale names it looks for.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A catalog file name, NAME_LOCALE.qm, read one way only.
struct CatalogName
{
    QByteArray component; // NAME by its own bytes, never empty
    QString locale;       // LOCALE as the file spells it
    QString canonical;    // the same locale as the toolkit spells it (pt_br: pt_BR)
};

// Reads a directory entry's name as a catalog name. LOCALE is the longest tail after an
// underscore that spells a locale; NAME is what comes before, whatever its bytes. False when
// the name is no catalog's (app.qm, _de.qm, app_DE.qm).
bool readCatalogName(const QByteArray &fileName, CatalogName &name);

// The locale names a component's catalog may carry, best first: the name given with -lang
// itself and in small letters, then the names the toolkit's own loader tries for the language
// (QTranslator::load with a QLocale), from QLocale::uiLanguages() of the locale given, or of
// the system's when none is given.
QStringList languageNames(const QString &given);

// The language as the user chose it, for messages: the name given, else the first set of
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG, as the toolkit takes the system's languages.
QByteArray languageChoice(const QString &given);

#endif
