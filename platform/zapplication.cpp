#include "zapplication.h"

#include "catalogrouter.h"

#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

namespace {

struct PlatformOptions
{
    QString translations; // null when not given
    QString lang;         // null when not given
};

// Options take their value from the next argument; an option left without one stays on the
// command line, where the program sees it as a stray argument rather than losing it silently.
PlatformOptions takePlatformOptions(int &argc, char **argv)
{
    PlatformOptions options;
    int kept = argc > 0 ? 1 : 0;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "-translations") == 0)
            options.translations = QFile::decodeName(argv[++i]);
        else if (i + 1 < argc && std::strcmp(argv[i], "-lang") == 0)
            options.lang = QString::fromLocal8Bit(argv[++i]);
        else
            argv[kept++] = argv[i];
    }
    if (kept < argc) {
        argv[kept] = nullptr;
        argc = kept;
    }
    return options;
}

// A locale as catalog names spell it: a lower-case language of two or three letters, then
// any _Script or _REGION parts (de, pt_BR, pt_br, zh_Hans_CN).
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
// case (app_pt_br.qm): every split whose tail reads as a locale names a candidate component.
// A candidate that is no component finds no catalog for the language and is dropped.
std::set<QString, std::greater<QString>> componentNames(const QString &dir)
{
    std::set<QString, std::greater<QString>> names;
    if (dir.isEmpty())
        return names;
    const QStringList files =
        QDir(dir).entryList({QStringLiteral("*.qm")}, QDir::Files | QDir::Readable);
    for (const QString &file : files) {
        const QStringView base = QStringView(file).chopped(3);
        for (qsizetype split = base.indexOf(u'_'); split > 0;
             split = base.indexOf(u'_', split + 1)) {
            if (isLocaleName(base.mid(split + 1)))
                names.insert(base.left(split).toString());
        }
    }
    return names;
}

} // namespace

ZApplication::ZApplication(int &argc, char **argv, Type type) : QCoreApplication(argc, argv)
{
    // The platform's GUI types differ only in the display they open; this stand-in opens none.
    Q_UNUSED(type);

    const PlatformOptions options = takePlatformOptions(argc, argv);
    const QLocale locale = options.lang.isNull() ? QLocale::system() : QLocale(options.lang);
    const QString dir = options.translations.isNull() ? QStringLiteral(ZAPPBASE_TRANSLATIONS_DIR)
                                                      : options.translations;

    // The component whose name sorts first answers first. An empty catalog answers nothing.
    QList<QTranslator *> loaded;
    for (const QString &name : componentNames(dir)) {
        auto *catalog = new QTranslator;
        if (catalog->load(locale, name, QStringLiteral("_"), dir) && !catalog->isEmpty())
            loaded.prepend(catalog);
        else
            delete catalog;
    }
    // Installed one by one, every catalog would be asked for every text none of them holds.
    // A single catalog has nothing to be routed past.
    if (!loaded.isEmpty()) {
        QTranslator *installed = loaded.size() == 1 ? loaded.front() : new CatalogRouter(loaded);
        installTranslator(installed);
        catalogs.append(installed);
    }

    // A mistyped directory would otherwise make every line look untranslated.
    if (catalogs.isEmpty() && !options.translations.isNull())
        std::fprintf(stderr, "ZApplication: no catalog for language '%s' in '%s'\n",
                     qPrintable(options.lang.isNull() ? locale.name() : options.lang),
                     QFile::encodeName(dir).constData());
}

ZApplication::~ZApplication()
{
    for (QTranslator *catalog : std::as_const(catalogs)) {
        removeTranslator(catalog);
        delete catalog;
    }
}
