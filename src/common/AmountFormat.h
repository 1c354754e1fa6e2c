#pragma once

// Display of amounts with the patterns of the settings file and the grids,
// such as "### ### ##0" or "########0.000". Amounts are kept at full precision;
// only their display is rounded. The settings file is the user's to edit, so
// the whole pattern language of the desktop's number formatting is read:
//
//   "0"   a digit that is always shown: the integer part is padded with zeros
//         to the places from the first "0" on, the decimals keep their
//         trailing zeros up to the last "0";
//   "#"   a digit shown only when needed;
//   "."   the decimal point (the first one; any later "." is ignored);
//   ","   the thousands separator; a blank between the integer digits groups
//         by three as well ("### ### ##0"). In a pattern without "." whose
//         digits are grouped with blanks, or whose last comma is followed by
//         other than three digits, that comma is the decimal point, as a
//         Hungarian writes it ("### ### ##0,00", "0,0");
//   "E+", "E-", "e+", "e-"  scientific notation; up to four "0"s after it are
//         the least number of exponent digits. "E+" always writes the sign of
//         the exponent, "E-" only a minus;
//   '…', "…"  literal text; any other character also stands for itself
//         ("##0 Ft");
//   ";"   separates up to three sections: for positive values, for negative
//         values (shown without a minus sign of their own, the section writes
//         its own), and for zero. An empty or missing section uses the first.
//
// The value is rounded half away from zero at the last decimal, as its shortest
// decimal form reads (so 2.675 shows as 2.68 with two decimals). A negative
// value in the first section gets "-" in front, unless it rounds to zero. The
// decimal point shows as the Hungarian decimal comma whatever the machine's
// locale, as the Windows clients show it on the Hungarian systems they run on;
// digit groups are separated by a blank. An empty pattern shows the value with
// all its digits.

#include <QString>
#include <optional>
#include <stdexcept>

namespace zomi {

// A pattern that even this language cannot read: a quote left open, or more
// than three sections. The message is Hungarian and names the pattern.
class AmountPatternError : public std::invalid_argument {
  public:
    explicit AmountPatternError(const QString& message);
    const QString& message() const { return message_; }

  private:
    QString message_;
};

QString FormatAmount(double value, const QString& pattern);  // throws AmountPatternError

// Throws AmountPatternError for a pattern FormatAmount cannot use.
void CheckAmountPattern(const QString& pattern);

// The compact form of a pattern: the same without the grouping blanks.
QString RemoveBlanks(const QString& pattern);

// The decimal separator of every number Zomi shows.
inline constexpr char16_t kDecimalComma = u',';

// A floating value without a pattern, as the desktop's own float text shows
// it: at most fifteen significant digits, the decimal comma, no digit groups,
// an exponent only for very large or very small values ("1E20", "1,5E-7").
// So 26999.999999999996 shows as "27000".
QString GeneralNumberText(double value);
// The same with another decimal separator: the exports, which other programs
// read, write the workstation's.
QString GeneralNumberText(double value, const QString& decimalSeparator);

// Reads an amount as a Hungarian user types it: the comma is the decimal
// separator; a full stop followed by exactly three digits groups thousands
// ("27.000", "1.234.567,5"), and so do blanks, which are ignored. True with
// the value, or with no value for text that is empty or blank; false for
// anything else, such as "12.5", whose full stop is no thousands group, or
// "1,2,3", which is left to the caller to refuse.
bool ReadAmountText(const QString& text, std::optional<double>* amount);

// The pattern as an Excel number format ("### ### ##0.00" gives "#,##0.00",
// "0 Ft" gives 0" Ft"), section by section; empty text for Excel's "General".
QString ExcelNumberFormat(const QString& pattern);

}  // namespace zomi
