#include "zapplication.h"

#include "zcatalogs.h"
#include "zcatalogsprivate.h"

#include <QTranslator>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

struct PlatformOptions
{
    const char *translations = nullptr; // the bytes as given; null when not given
    const char *lang = nullptr;
};

// Options take their value from the next argument; an option left without one stays on the
// command line, where the program sees it as a stray argument rather than losing it silently.
PlatformOptions takePlatformOptions(int &argc, char **argv)
{
    PlatformOptions options;
    int kept = argc > 0 ? 1 : 0;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "-translations") == 0)
            options.translations = argv[++i];
        else if (i + 1 < argc && std::strcmp(argv[i], "-lang") == 0)
            options.lang = argv[++i];
        else
            argv[kept++] = argv[i];
    }
    if (kept < argc) {
        argv[kept] = nullptr;
        argc = kept;
    }
    return options;
}

// Asked before every catalog, it tells what the platform could not install on the application's
// first lookup, and answers nothing. Waiting for that lookup keeps a run that ends early (a usage
// error, an unreadable file) to its own message. The toolkit asks for its own messages in its
// classes' contexts; only the QObject context, where the platform's catalogs answer, counts.
class PendingNotice : public QTranslator
{
  public:
    PendingNotice(QByteArray text, QObject *parent) : QTranslator(parent), text(std::move(text)) {}

    QString translate(const char *context, const char *, const char *, int) const override
    {
        if (!told.load(std::memory_order_relaxed) && context &&
            std::strcmp(context, "QObject") == 0 && !told.exchange(true))
            std::fputs(text.constData(), stderr);
        return {};
    }

  private:
    const QByteArray text;
    mutable std::atomic<bool> told{false};
};

} // namespace

ZApplication::ZApplication(int &argc, char **argv, Type type) : QCoreApplication(argc, argv)
{
    // The platform's GUI types differ only in the display they open; this stand-in opens none.
    Q_UNUSED(type);

    const PlatformOptions options = takePlatformOptions(argc, argv);
    ZCatalogs found(options.translations ? QByteArray(options.translations) : QByteArray(),
                    options.lang ? QString::fromLocal8Bit(options.lang) : QString());
    if (found.d->router) {
        QTranslator *installed = found.d->router.release();
        installTranslator(installed);
        catalogs.append(installed);
    }
    if (!found.notice().isEmpty())
        installTranslator(new PendingNotice(found.notice(), this));
}

ZApplication::~ZApplication()
{
    for (QTranslator *catalog : std::as_const(catalogs)) {
        removeTranslator(catalog);
        delete catalog;
    }
}
