#ifndef TRCHECK_ENCODELINE_H
#define TRCHECK_ENCODELINE_H

#include <QStringView>

// Writes the line's Latin-1 form to latin1 (one byte per UTF-16 code unit, '?' beyond
// Latin-1, as QString::toLatin1 does) and its UTF-8 form, NUL-terminated, to key, in one
// pass and without allocating. latin1 must hold line.size() bytes, key 3 * line.size() + 1.
//
// Returns whether the line can be looked up. The lookup reads its key as UTF-8 up to the
// first NUL and answers an unknown key with the key decoded again. A line with a NUL, or
// with a lone surrogate that UTF-8 cannot carry, would therefore be looked up as some other
// text and its "translation" would differ from it: such a line cannot be looked up at all.
// The key is then unspecified; the Latin-1 form is still whole.
bool encodeLine(QStringView line, char *latin1, char *key);

#endif
