#include "share.h"

#include <algorithm>

namespace {

// Whether a / b < c / d, for b and d above 0, without a product that could overflow: the
// whole parts first, then the remainders' fractions, turned over.
bool fractionLess(quint64 a, quint64 b, quint64 c, quint64 d)
{
    for (;;) {
        if (a / b != c / d)
            return a / b < c / d;
        const quint64 restA = a % b, restC = c % d;
        if (restC == 0)
            return false;
        if (restA == 0)
            return true;
        // restA / b < restC / d exactly when d / restC < b / restA.
        a = d;
        c = b;
        b = restC;
        d = restA;
    }
}

// The next decimal digit of rest / lines, rest below lines: 10 * rest / lines, and rest
// becomes 10 * rest % lines. Added up ten times over rather than multiplied, so that no sum
// passes 2 * lines, which fits whatever the count of lines.
int nextDigit(quint64 &rest, quint64 lines)
{
    int digit = 0;
    quint64 sum = 0;
    for (int i = 0; i < 10; ++i) {
        sum += rest;
        if (sum >= lines) {
            sum -= lines;
            ++digit;
        }
    }
    rest = sum;
    return digit;
}

} // namespace

int shareTenths(qint64 translated, qint64 lines)
{
    if (lines <= 0)
        return 1000;
    // The most tenths not above the share, by halves: no product of counts overflows.
    int low = 0, high = 1000;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (fractionLess(quint64(translated), quint64(lines), quint64(middle), 1000))
            high = middle - 1;
        else
            low = middle;
    }
    return low;
}

QByteArray shareText(qint64 translated, qint64 lines)
{
    const int tenths = shareTenths(translated, lines);
    return QByteArray::number(tenths / 10) + '.' + char('0' + tenths % 10);
}

std::optional<Percent> parsePercent(QStringView text)
{
    const qsizetype point = text.indexOf(u'.');
    QStringView whole = point < 0 ? text : text.left(point);
    QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    const auto isDigits = [](QStringView digits) {
        for (const QChar c : digits) {
            if (c < u'0' || c > u'9')
                return false;
        }
        return true;
    };
    if (whole.size() + fraction.size() == 0 || !isDigits(whole) || !isDigits(fraction))
        return std::nullopt;
    while (whole.startsWith(u'0'))
        whole = whole.mid(1);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole.size() > 3)
        return std::nullopt;
    Percent percent;
    for (const QChar c : whole)
        percent.whole = percent.whole * 10 + (c.unicode() - u'0');
    if (percent.whole > 100 || (percent.whole == 100 && !fraction.isEmpty()))
        return std::nullopt;
    percent.decimals = fraction.toLatin1();
    return percent;
}

bool isBelow(qint64 translated, qint64 lines, const Percent &threshold)
{
    // Nothing to translate, or everything translated: 100%, which no threshold is above.
    if (lines <= 0 || translated >= lines)
        return false;
    // The share's digits one by one, 100 * translated / lines = 10 * first + second, then the
    // decimals, until one differs from the threshold's.
    const quint64 count = quint64(lines);
    quint64 rest = quint64(std::max<qint64>(translated, 0));
    const int first = nextDigit(rest, count);
    const int wholePercent = first * 10 + nextDigit(rest, count);
    if (wholePercent != threshold.whole)
        return wholePercent < threshold.whole;
    for (const char wanted : threshold.decimals) {
        // The share ends here, and the threshold goes on to a digit other than 0.
        if (rest == 0)
            return true;
        const int digit = nextDigit(rest, count);
        if (digit != wanted - '0')
            return digit < wanted - '0';
    }
    return false;
}
