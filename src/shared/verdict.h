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

// What an answer makes of a line.
enum class Verdict {
    untranslated, // no answer, or only the toolkit's answer for an unknown key
    same,         // an answer that is exactly the line: kept the same, untranslated too
    translated,
};

// The verdict on answer, what the lookup gave for key, the line's UTF-8 form, which can carry
// the line (a line it cannot is never looked up). A null answer is a lookup that no catalog
// answered, asked of the catalogs themselves rather than of the toolkit (which answers that with
// the key decoded again, below).
//
// A translation is an answer other than the line itself. An answer that is only the toolkit's
// answer for an unknown key is none, even where it differs from the line (a line led by
// U+FEFF). That text is made only when it could be the answer: decoding the key again gives the
// line, or the line without the one leading U+FEFF the decoding drops, so an answer other than
// the line can be it only when one code unit shorter. The toolkit's answer for an unknown key
// is mostly the line itself: from the toolkit, same says nothing of a catalog.
inline Verdict judge(QStringView line, const char *key, const QString &answer)
{
    if (answer.isNull())
        return Verdict::untranslated;
    if (sameText(answer, line))
        return Verdict::same;
    return answer.size() + 1 != line.size() || !sameText(answer, unanswered(key))
               ? Verdict::translated
               : Verdict::untranslated;
}

#endif
