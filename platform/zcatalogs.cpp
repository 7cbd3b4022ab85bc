#include "zcatalogs.h"

#include "catalognames.h"
#include "catalogs.h"
#include "zcatalogsprivate.h"

#include <memory>

QByteArray ZCatalogs::defaultDirectory()
{
    return QByteArrayLiteral(ZAPPBASE_TRANSLATIONS_DIR);
}

QStringList ZCatalogs::languages(const QByteArray &directory)
{
    return CatalogDirectory::listLocales(directory.isNull() ? defaultDirectory() : directory);
}

ZCatalogs::ZCatalogs(const QByteArray &directory, const QString &language)
    : d(std::make_unique<ZCatalogsPrivate>())
{
    const QByteArray dir = directory.isNull() ? defaultDirectory() : directory;
    d->directory = CatalogDirectory::open(dir);
    LoadedCatalogs found = d->directory->load(languageNames(language));
    d->components = found.components;

    // An empty catalog counts as installed but answers nothing, so it is not asked; it is held
    // all the same, so that the next language of the run does not read it again.
    std::vector<std::shared_ptr<const Catalog>> answering;
    for (size_t i = 0; i < found.catalogs.size(); ++i) {
        if (!found.catalogs[i]->isEmpty()) {
            answering.push_back(std::move(found.catalogs[i]));
            d->componentOf.append(int(i));
        } else {
            d->empty.push_back(std::move(found.catalogs[i]));
        }
    }
    // Installed one by one, every catalog would be asked for every text none of them holds.
    if (!answering.empty())
        d->router = std::make_unique<CatalogRouter>(std::move(answering));

    // Messages name the directory and the files by the bytes given, as the user typed them,
    // and the language as the user chose it.
    const QByteArray prefix = dir.endsWith('/') ? dir : dir + '/';
    for (const LoadedCatalogs::Broken &broken : found.broken)
        d->notice += "ZApplication: cannot load catalog '" + prefix + broken.file +
                     "': " + broken.fault + '\n';
    // A mistyped directory or language would otherwise make every line look untranslated.
    if (d->components.isEmpty() && found.broken.empty())
        d->notice += "ZApplication: no catalog for language '" + languageChoice(language) +
                     "' in '" + dir + "'\n";
}

ZCatalogs::~ZCatalogs() = default;

QStringList ZCatalogs::components() const
{
    return d->components;
}

QByteArray ZCatalogs::notice() const
{
    return d->notice;
}

QString ZCatalogs::translate(const char *sourceText) const
{
    return d->router ? d->router->translate("QObject", sourceText, sourceText) : QString();
}

QList<ZCatalogs::Answer> ZCatalogs::answers(const char *sourceText) const
{
    QList<Answer> found;
    if (!d->router)
        return found;
    CatalogRouter::Candidates candidates = d->router->candidates(sourceText, sourceText);
    for (int position; (position = d->router->next(candidates)) >= 0;) {
        QString text =
            d->router->catalog(position).translate("QObject", sourceText, sourceText, -1);
        if (!text.isNull())
            found.append({d->componentOf[position], std::move(text)});
    }
    return found;
}
