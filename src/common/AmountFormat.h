#pragma once

// Display of amounts with the patterns of the settings file and the grids,
// such as "### ### ##0" or "########0.000". Amounts are kept at full precision;
// only their display is rounded.

#include <QString>
#include <stdexcept>

namespace zomi {

// Pattern characters:
//   "0"  a digit that is always shown (leading zeros pad the integer part to
//        the number of "0"s before the decimal point; after it, trailing zeros
//        are kept up to the number of "0"s);
//   "#"  a digit shown only when needed (after the decimal point it adds an
//        optional decimal);
//   " "  in the integer part: the digits are grouped by three with a blank,
//        however many digits there are; "," means the same, for patterns
//        written the Delphi way;
//   "."  the decimal point; the "0"s and "#"s after it give the decimals.
// The value is rounded half away from zero at the last decimal, as its shortest
// decimal form reads (so 2.675 shows as 2.68 with two decimals). A negative
// value gets "-" unless it rounds to zero. No leading blanks. An empty pattern
// shows the value with all its digits. Any other character in the pattern
// throws std::invalid_argument.
QString FormatAmount(double value, const QString& pattern);

// The compact form of a pattern: the same without the grouping blanks.
QString RemoveBlanks(const QString& pattern);

}  // namespace zomi
