#include "catalogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTranslator>

#include <fcntl.h>
#include <memory>
#include <set>
#include <unistd.h>

namespace {

// A locale as catalog names spell it: a lower-case language of two or three letters, then
// any _Script, _REGION or _variant parts (de, fil, pt_BR, pt_br, en_XA, ca_valencia).
bool isLocaleName(QStringView text)
{
    const auto lower = [](QChar c) { return c >= u'a' && c <= u'z'; };
    qsizetype i = 0;
    while (i < text.size() && lower(text[i]))
        ++i;
    if (i < 2 || i > 3)
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] == u'_' ? i + 1 == text.size() || text[i + 1] == u'_'
                            : text[i].unicode() > 0x7f || !text[i].isLetterOrNumber())
            return false;
    }
    return true;
}

// NAME_LOCALE.qm, where NAME may itself hold underscores and a region may be written in lower
// case (app_pt_br.qm): every split whose tail reads as a locale is a reading of the name, as
// (component, locale). Code-unit order, so that the component whose name sorts first answers
// first.
std::set<std::pair<QString, QString>> readings(const QStringList &files)
{
    std::set<std::pair<QString, QString>> found;
    for (const QString &file : files) {
        const QStringView base = QStringView(file).chopped(3);
        for (qsizetype split = base.indexOf(u'_'); split > 0;
             split = base.indexOf(u'_', split + 1)) {
            if (isLocaleName(base.mid(split + 1)))
                found.emplace(base.left(split).toString(), base.mid(split + 1).toString());
        }
    }
    return found;
}

// Every entry, not only readable files: a directory, a FIFO or a dangling link named like a
// catalog is a catalog the user meant to install and that cannot be loaded.
QStringList catalogEntries(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.qm")}, QDir::AllEntries | QDir::System);
}

// A candidate that is no component finds no catalog for the language and is dropped.
std::set<QString> componentNames(const QStringList &files)
{
    std::set<QString> names;
    for (const auto &[component, locale] : readings(files))
        names.insert(component);
    return names;
}

LoadedCatalogs loadFrom(const QString &dir, const QStringList &languages)
{
    LoadedCatalogs found;
    const QStringList files = catalogEntries(dir);
    const QSet<QString> present(files.cbegin(), files.cend());
    for (const QString &name : componentNames(files)) {
        for (const QString &language : languages) {
            const QString file = name + u'_' + language + QLatin1String(".qm");
            if (!present.contains(file))
                continue;
            // Empty delimiters and suffix make the toolkit open exactly this file, with none of
            // the guesses it makes from a bare name.
            auto catalog = std::make_unique<QTranslator>();
            if (catalog->load(file, dir, QStringLiteral(""), QStringLiteral(""))) {
                found.catalogs.append(catalog.release());
                found.components.append(name);
                found.files.append(file);
                break;
            }
            if (!found.broken.contains(file))
                found.broken.append(file);
        }
    }
    return found;
}

} // namespace

QStringList languageNames(const QLocale &locale, const QString &given)
{
    QStringList names;
    const auto addWithLowerCase = [&names](const QString &name) {
        names.append(name);
        names.append(name.toLower());
    };
    const QString exact = QString(given).replace(u'-', u'_');
    if (isLocaleName(exact))
        addWithLowerCase(exact);
    // The toolkit reads a language it does not know as the C locale; a catalog named for C
    // would then answer for every mistyped language.
    if (locale.language() != QLocale::C) {
        // As the toolkit's own loader tries them: each UI language, then its lower-case form,
        // each followed by its shorter forms (de_Latn_DE, de_Latn, de).
        const QStringList uiLanguages = locale.uiLanguages();
        for (const QString &uiLanguage : uiLanguages) {
            for (QString name : {uiLanguage, uiLanguage.toLower()}) {
                name.replace(u'-', u'_');
                for (qsizetype cut = name.size(); cut > 0; cut = name.lastIndexOf(u'_')) {
                    name.truncate(cut);
                    names.append(name);
                }
            }
        }
    }
    names.removeDuplicates();
    return names;
}

CatalogDirectory::CatalogDirectory(const QByteArray &bytes)
    : fd(::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
    if (fd < 0)
        return;
    // Through the process's link to the descriptor; without /proc, the decoded name is the
    // best there is.
    path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    if (!QFileInfo(path).isDir())
        path = QFile::decodeName(bytes);
}

CatalogDirectory::~CatalogDirectory()
{
    if (fd >= 0)
        ::close(fd);
}

QStringList catalogLocales(const CatalogDirectory &directory)
{
    if (directory.path.isNull())
        return {};
    std::set<QString> locales;
    for (const auto &[component, locale] : readings(catalogEntries(directory.path)))
        locales.insert(locale);
    return QStringList(locales.cbegin(), locales.cend());
}

LoadedCatalogs loadCatalogs(const CatalogDirectory &directory, const QStringList &languages)
{
    if (directory.path.isNull() || languages.isEmpty())
        return {};
    return loadFrom(directory.path, languages);
}
