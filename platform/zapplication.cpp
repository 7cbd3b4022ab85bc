#include "zapplication.h"

#include "platformoptions.h"
#include "zcatalogs.h"
#include "zcatalogsprivate.h"

#include <QTranslator>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

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
    // One language: the last named counts.
    ZCatalogs found(options.translations, options.languages.isEmpty()
                                              ? QString()
                                              : QString::fromLocal8Bit(options.languages.last()));
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
