#ifndef ZAPPBASE_BYTESASTEXT_H
#define ZAPPBASE_BYTESASTEXT_H

// How the platform and the programs that report on its catalogs show a name they hold by its
// bytes (a component, a directory, a file), so that two different names never read the same:
//   - each well-formed UTF-8 character as itself, a U+FEFF that starts the name included;
//   - each byte that is not part of one (a stray continuation byte, a lead byte cut short, an
//     overlong form, an encoded surrogate, anything beyond U+10FFFF) as \xhh, in lowercase hex;
//   - a backslash as \\, so that a name spelling \xe9 in ASCII reads \\xe9, never as the byte.
// Read back token by token (a character, \\ or \xhh) the text gives the bytes again.

#include <QByteArray>
#include <QString>

QString bytesAsText(const QByteArray &bytes);

#endif
