// Velmaro — the dialog's three conversions between numbers and text. They
// differ on purpose and are not interchangeable.
#pragma once

#include <QString>

#include <cstdint>

// With a leading space when not negative: 3 gives " 3", -3 gives "-3".
QString Str(std::int16_t number);

// No leading space: 3 gives "3".
QString PlainText(std::int16_t number);

// Leading spaces are skipped and the longest prefix that reads as a decimal
// number is taken; a text without one gives 0. " 3" gives 3, "2x" gives 2.
double Val(const QString& text);
