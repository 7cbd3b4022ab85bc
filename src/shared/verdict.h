#ifndef TRCHECK_VERDICT_H
#define TRCHECK_VERDICT_H

#include <QString>
#include <QStringView>

#include <cstring>

// Code unit for code unit, as QString's own equality, without its general comparison.
inline bool sameText(QStringView a, QStringView b)
{
    // An empty view may have no data at all, which memcmp must not be given.
    return a.size() == b.size() &&
           (a.isEmpty() ||
            std::memcmp(a.utf16(), b.utf16(), size_t(a.size()) * sizeof(char16_t)) == 0);
}

// What the toolkit's lookup answers when no catalog holds the key: the key decoded again. That is
// not always the text the key was made from: the decoding drops a leading byte-order mark.
inline QString unanswered(const char *key)
{
    return QString::fromUtf8(key);
}

// Whether answer, what the lookup gave for key, translates line. key is the line's UTF-8 form
// and valid what encodeLine said of it: a line its key cannot carry is never translated. A null
// answer is a lookup that no catalog answered, asked of the catalogs themselves rather than of
// the toolkit (which answers that with the key decoded again, below).
//
// A translation is an answer other than the line itself. An answer that is only the toolkit's
// answer for an unknown key is none, even where it differs from the line (a line led by
// U+FEFF). That text is made only when it could be the answer: decoding the key again never
// gives more than the line it was made from.
inline bool isTranslation(bool valid, QStringView line, const char *key, const QString &answer)
{
    return valid && !answer.isNull() && !sameText(answer, line) &&
           (answer.size() > line.size() || !sameText(answer, unanswered(key)));
}

#endif
