#pragma once

#include <QStringView>

#include <optional>

// Numbers in the service's text: an optional sign ("+" or "-", not both)
// and decimal digits; a decimal number may also have a fraction and an
// exponent. Nothing for any other text, for a whole number beyond 64 bits,
// and for infinities and NaN.
std::optional<qint64> wholeNumberText(QStringView text);
std::optional<double> decimalNumberText(QStringView text);
