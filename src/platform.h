#ifndef TRCHECK_PLATFORM_H
#define TRCHECK_PLATFORM_H

// The tool's only contact with the platform: the application object that installs the
// platform's catalogs, and the toolkit lookup that answers from them.

#include <zapplication.h>

#include <QObject>

// The platform's catalogs answer in the QObject context. The key doubles as the comment, as
// the platform's own applications disambiguate; a catalog entry without one still matches.
inline QString lookUp(const char *key)
{
    return QObject::tr(key, key);
}

// What the lookup answers when no catalog holds the key: the key decoded again, as the
// toolkit does. That is not always the text the key was made from: the decoding drops a
// leading byte-order mark.
inline QString unanswered(const char *key)
{
    return QString::fromUtf8(key);
}

#endif
