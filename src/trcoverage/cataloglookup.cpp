#include "cataloglookup.h"

QList<ComponentAnswer> CatalogLookup::answers(const char *key) const
{
    QList<ComponentAnswer> found;
    for (ZCatalogs::Answer &answer : catalogs.answers(key))
        found.append({answer.component, std::move(answer.text)});
    return found;
}
