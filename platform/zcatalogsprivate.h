#ifndef ZCATALOGSPRIVATE_H
#define ZCATALOGSPRIVATE_H

#include "catalogrouter.h"
#include "catalogs.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>

// What a ZCatalogs holds; ZApplication takes the router out to install it.
class ZCatalogsPrivate
{
  public:
    // Held so that the ZCatalogs of the same directory living at the same time share it.
    std::shared_ptr<CatalogDirectory> directory;
    QStringList components;
    QByteArray notice;
    // The catalogs that may answer, routed; null when none has a message.
    std::unique_ptr<CatalogRouter> router;
    // The component of each catalog the router holds, by its place there.
    QList<int> componentOf;
    // The catalogs with no message, which the router does not hold.
    std::vector<std::shared_ptr<const Catalog>> empty;
};

#endif
