#ifndef TRCOVERAGE_CATALOGLOOKUP_H
#define TRCOVERAGE_CATALOGLOOKUP_H

#include "lookup.h"

#include <zcatalogs.h>

#include <QByteArray>

// One language's catalogs exactly as the platform installs them, as the pass asks them.
class CatalogLookup final : public Lookup
{
  public:
    CatalogLookup(const QByteArray &directory, const QString &language)
        : catalogs(directory, language)
    {
    }

    QString translate(const char *key) const override { return catalogs.translate(key); }
    QList<ComponentAnswer> answers(const char *key) const override;
    QStringList components() const override { return catalogs.components(); }
    // What the platform says of these catalogs on standard error; empty when all is well.
    QByteArray notice() const { return catalogs.notice(); }

  private:
    ZCatalogs catalogs;
};

#endif
