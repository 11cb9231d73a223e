#pragma once

#include <QString>

// Amounts in Chinese capital numerals (壹仟贰佰叁拾肆元伍角陆分); empty for a zero amount.
QString MoneyToChinese(const QString& text);
// value rounded to decimals places by one of the bookkeeping rounding modes ("五舍六入", "三舍四入",
// "二舍三入", "一舍二入"; anything else rounds half up), as plain decimal text.
QString RoundToText(int decimals, const QString& mode, double value);
// Formats value with the given decimals, rounding half up on the decimal text (not on the binary value).
QString FormatHalfUp(double value, int decimals);
