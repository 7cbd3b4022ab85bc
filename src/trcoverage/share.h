#ifndef TRCOVERAGE_SHARE_H
#define TRCOVERAGE_SHARE_H

#include <QByteArray>
#include <QStringView>

#include <optional>

// The share of lines translated, in tenths of a percent, cut rather than rounded: 1000 only
// when every line is translated, 0 only when none is. An input without lines leaves nothing
// untranslated and counts as whole.
int shareTenths(qint64 translated, qint64 lines);
// The same share as shown: "70.0", "100.0".
QByteArray shareText(qint64 translated, qint64 lines);

// A -fail-under threshold, exactly as given, however many decimals it has: whole percent and
// the digits after the point, without the zeros that end them.
struct Percent
{
    int whole = 0;       // 0 to 100
    QByteArray decimals; // '0' to '9', never ending in '0'; empty when whole is 100
};
// A decimal number from 0 to 100 (digits, and a fraction after a point); nothing else.
std::optional<Percent> parsePercent(QStringView text);
// Whether translated of lines is below the threshold, compared exactly: a share shown as 66.7
// may still be below 66.7.
bool isBelow(qint64 translated, qint64 lines, const Percent &threshold);

#endif
