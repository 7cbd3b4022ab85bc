#include "share.h"

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
    // Nine decimals tell apart the shares of inputs of up to a billion lines.
    if (whole.size() > 3 || fraction.size() > 9)
        return std::nullopt;
    Percent percent{0, int(fraction.size())};
    quint64 hundred = 100;
    for (const QChar c : whole)
        percent.numerator = percent.numerator * 10 + quint64(c.unicode() - u'0');
    for (const QChar c : fraction) {
        percent.numerator = percent.numerator * 10 + quint64(c.unicode() - u'0');
        hundred *= 10;
    }
    if (percent.numerator > hundred)
        return std::nullopt;
    return percent;
}

bool isBelow(qint64 translated, qint64 lines, const Percent &threshold)
{
    if (lines <= 0)
        return false;
    quint64 scale = 1;
    for (int i = 0; i < threshold.decimals; ++i)
        scale *= 10;
    // translated / lines * 100 < numerator / scale
    return fractionLess(quint64(translated), quint64(lines), threshold.numerator, scale * 100);
}
