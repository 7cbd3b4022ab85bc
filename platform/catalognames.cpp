#include "catalognames.h"

#include <QLocale>
#include <QSet>

namespace {

bool isSmall(QChar c)
{
    return c >= u'a' && c <= u'z';
}
bool isLetter(QChar c)
{
    return isSmall(c) || (c >= u'A' && c <= u'Z');
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
template <typename Test> bool all(QStringView text, Test test)
{
    for (QChar c : text) {
        if (!test(c))
            return false;
    }
    return true;
}

// The toolkit's spelling of the locale that text names, or a null string when it names none:
// a language of two or three small letters, then optionally a script (Latn), a territory (BR,
// 419) and variants (valencia, 1996), each part spelled as the toolkit spells it or in small
// letters, the whole name one way or the other. The toolkit tries both spellings of a name;
// a catalog spelled any other way would never be found. A name of several parts must begin with
// a language the locale database knows: app_pt_br.qm is component app in Brazilian Portuguese,
// but my_app_de.qm is component my_app in German, as app is no language.
QString canonicalLocale(QStringView text)
{
    QString canonical;
    enum { Language, Script, Territory, Variants } next = Language;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'_', start);
        if (end < 0)
            end = text.size();
        const QStringView part = text.mid(start, end - start);
        const qsizetype size = part.size();
        const bool letters = all(part, isLetter), digits = all(part, isDigit);
        const bool alphanumeric = all(part, [](QChar c) { return isLetter(c) || isDigit(c); });
        if (next == Language) {
            if (size < 2 || size > 3 || !all(part, isSmall))
                return {};
            canonical = part.toString();
            next = Script;
        } else if (next == Script && size == 4 && letters) {
            canonical +=
                u'_' + part.left(1).toString().toUpper() + part.mid(1).toString().toLower();
            next = Territory;
        } else if (next != Variants && ((size == 2 && letters) || (size == 3 && digits))) {
            canonical += u'_' + part.toString().toUpper();
            next = Variants;
        } else if (alphanumeric && ((size >= 5 && size <= 8) || (size == 4 && isDigit(part[0])))) {
            canonical += u'_' + part.toString().toLower();
            next = Variants;
        } else {
            return {};
        }
        start = end + 1;
    }
    if (canonical.contains(u'_') && QLocale::codeToLanguage(QStringView(canonical).left(
                                        canonical.indexOf(u'_'))) == QLocale::AnyLanguage)
        return {};
    if (text != canonical && text != canonical.toLower())
        return {};
    return canonical;
}

// The names QTranslator::load(locale, name, "_", dir) tries after the prefix, in its order.
QStringList toolkitOrder(const QLocale &locale)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Each UI language, then the shorter names it stands for (for language_Script_Territory
    // also language_Territory) unless another entry already holds them, then every name
    // followed by its small-letter form.
    QStringList languages = locale.uiLanguages(QLocale::TagSeparator::Underscore);
    QSet<QString> seen(languages.cbegin(), languages.cend());
    for (qsizetype i = languages.size() - 1; i >= 0; --i) {
        QString language = languages.at(i);
        QStringList fallbacks;
        const auto addIfNew = [&seen, &fallbacks](const QString &fallback) {
            if (!seen.contains(fallback)) {
                seen.insert(fallback);
                fallbacks.append(fallback);
            }
        };
        for (qsizetype last; (last = language.lastIndexOf(u'_')) >= 0; language.truncate(last)) {
            const qsizetype first = language.indexOf(u'_');
            if (first != last && language.count(u'_') == 2)
                addIfNew(language.left(first) + language.mid(last));
            addIfNew(language.left(last));
        }
        for (qsizetype j = fallbacks.size() - 1; j >= 0; --j)
            languages.insert(i + 1, fallbacks.at(j));
    }
    for (qsizetype i = languages.size() - 1; i >= 0; --i) {
        QString lower = languages.at(i).toLower();
        if (lower != languages.at(i))
            languages.insert(i + 1, std::move(lower));
    }
    return languages;
#else
    // Each UI language followed by its small-letter form, each name followed by its shorter
    // forms (de_Latn_DE, de_Latn, de).
    QStringList languages = locale.uiLanguages();
    for (qsizetype i = languages.size() - 1; i >= 0; --i) {
        QString lower = languages.at(i).toLower();
        if (lower != languages.at(i))
            languages.insert(i + 1, std::move(lower));
    }
    QStringList names;
    for (QString name : std::as_const(languages)) {
        name.replace(u'-', u'_');
        for (qsizetype cut = name.size(); cut > 0; cut = name.lastIndexOf(u'_')) {
            name.truncate(cut);
            names.append(name);
        }
    }
    return names;
#endif
}

} // namespace

bool readCatalogName(const QByteArray &fileName, CatalogName &name)
{
    if (!fileName.endsWith(".qm"))
        return false;
    const QByteArray base = fileName.chopped(3);
    // From the left, so that the longest tail that spells a locale is the one taken; NAME is
    // never empty, and may itself start with an underscore or a dot.
    for (qsizetype split = base.indexOf('_', 1); split > 0; split = base.indexOf('_', split + 1)) {
        const QString tail = QString::fromLatin1(base.mid(split + 1));
        const QString canonical = canonicalLocale(tail);
        if (!canonical.isNull()) {
            name = {base.left(split), tail, canonical};
            return true;
        }
    }
    return false;
}

QStringList languageNames(const QString &given)
{
    QStringList names;
    if (!given.isEmpty()) {
        // A name the locale database does not know (xx, en_XA, ca_valencia) still finds its
        // catalog. The toolkit reads such a name as the C locale, whose only name, C, no catalog
        // name can spell.
        const QString exact = QString(given).replace(u'-', u'_');
        names << exact << exact.toLower();
    }
    names += toolkitOrder(given.isEmpty() ? QLocale::system() : QLocale(given));
    names.removeDuplicates();
    return names;
}

QByteArray languageChoice(const QString &given)
{
    if (!given.isEmpty())
        return given.toLocal8Bit();
    for (const char *variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return value;
    }
    // What the toolkit takes when none is set.
    return QByteArrayLiteral("C");
}
