#ifndef TRCHECK_PLATFORM_H
#define TRCHECK_PLATFORM_H

// The checker's only contact with the platform: the application object that installs the
// platform's catalogs, and the toolkit lookup that answers from them.

#include <zapplication.h>

#include <QObject>

// The platform's catalogs answer in the QObject context. The key doubles as the comment, as
// the platform's own applications disambiguate; a catalog entry without one still matches.
// A key no catalog holds is answered with the key decoded again.
inline QString lookUp(const char *key)
{
    return QObject::tr(key, key);
}

#endif
