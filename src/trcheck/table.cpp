#include "table.h"

#include <algorithm>
#include <iterator>

const char tableFileName[] = "Strings_Table.txt";

QString padField(const QString &text, bool alignRight)
{
    QString field(text.size() + fieldPadding(text.size(), alignRight), Qt::Uninitialized);
    padField(reinterpret_cast<char16_t *>(field.data()), text, alignRight);
    return field;
}

namespace {

// Padding is copied from here rather than filled in character by character.
constexpr qsizetype widestPadding = 128;
struct Spaces
{
    char16_t text[widestPadding];
    constexpr Spaces() : text()
    {
        for (char16_t &c : text)
            c = u' ';
    }
};
constexpr Spaces spaces;

char16_t *copied(const char16_t *text, qsizetype size, char16_t *out)
{
    return std::copy_n(text, size, out);
}

} // namespace

char16_t *padField(char16_t *out, QStringView text, bool alignRight)
{
    const qsizetype padding = fieldPadding(text.size(), alignRight);
    Q_ASSERT(padding <= widestPadding);
    if (alignRight)
        out = copied(spaces.text, padding, out);
    out = copied(text.utf16(), text.size(), out);
    if (!alignRight)
        out = copied(spaces.text, padding, out);
    return out;
}

void appendTableRow(QString &rows, qint64 found, QStringView line, QStringView translation)
{
    static constexpr char16_t separator[] = u"   |||   ";
    constexpr qsizetype separatorSize = std::size(separator) - 1;
    char16_t digits[20];
    char16_t *const digitsEnd = digits + std::size(digits);
    const QStringView number(decimalDigits(found, digitsEnd), digitsEnd);

    const qsizetype start = rows.size();
    rows.resize(start + number.size() + fieldPadding(number.size(), true) + separatorSize +
                line.size() + fieldPadding(line.size(), false) + separatorSize +
                translation.size() + 1);
    char16_t *out = reinterpret_cast<char16_t *>(rows.data()) + start;
    out = padField(out, number, true);
    out = copied(separator, separatorSize, out);
    out = padField(out, line, false);
    out = copied(separator, separatorSize, out);
    out = copied(translation.utf16(), translation.size(), out);
    *out = u'\n';
}
