#pragma once

// Conversions of database values to text and numbers, SQL literal building and
// the small text routines every window uses.
//
// A database value is a QVariant. An invalid QVariant, or one whose isNull() is
// true (the form Qt's SQL layer gives a NULL column), is NULL; there is no
// separate "unassigned" state.

#include <QString>
#include <QVariant>
#include <stdexcept>

namespace zomi {

// Raised when a non-NULL value cannot be turned into the number asked for,
// for example the text "abc" read as an integer.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The value as text, in the form SQL text and exports need: integers in
// decimal, floating values as plain decimals with "." and just enough digits to
// read back the same double, dates "yyyy-MM-dd", times "hh:mm:ss", date-times
// "yyyy-MM-dd hh:mm:ss", booleans "1"/"0", byte arrays as code-page-1250 text. NULL
// gives empty text. Throws ConversionError for values that have no text form.
QString ValueText(const QVariant& value);

QString NullToText(const QVariant& value, const QString& defaultText);
int NullToInt(const QVariant& value, int defaultValue);          // throws ConversionError
double NullToFloat(const QVariant& value, double defaultValue);  // throws ConversionError

// "0" for NULL, else the value as a decimal integer (for key values in SQL).
QString IdText(const QVariant& value);

// Both arguments are evaluated, as with any function call; use ?: when one of
// them must not be.
template <typename T>
T Iif(bool condition, T whenTrue, T whenFalse) {
    return condition ? whenTrue : whenFalse;
}

QString ReplaceCharText(const QVariant& value, QChar from, QChar to);

// Backslash doubled, CR as \r, LF as \n: the escapes MySQL reads in a literal.
QString SqlEscape(const QVariant& value);
// The complete single-quoted literal; NULL gives ''.
QString SqlQuote(const QVariant& value);
// The four characters \r\n (any letter case) become a real CR LF.
QString LineBreaksFromEscapes(const QVariant& value);
// Backslash doubled, CR as \n, LF dropped: one export line per value.
QString OneLineText(const QVariant& value);

// The n-th field (from 1) of text, where every character of separators ends a
// field. Empty text for n below 1 or beyond the last field.
QString FieldOf(const QString& separators, const QString& text, int n);
QString RemoveChars(const QString& chars, const QString& text);
QString LeftText(const QString& text, int n);
QString RightText(const QString& text, int n);

// Trims blanks and control characters from both ends, as the number routines
// of the input fields expect.
QString TrimBlanks(const QString& text);
bool IsBlankText(const QString& text);

// Keeps digits, a leading minus and the first decimal separator as typed.
QString CleanNumberText(const QString& text);
// The cleaned text as an integer, 0 when it is not a whole number.
int TextToInt(const QString& text);

// The MD5 digest of the password's code-page-1250 bytes as 32 lower-case
// hexadecimal digits: what the server's MD5() gives for the same text on the
// latin2 session, so the digests stored in felhasznalo stay valid. Computed
// here so that no password ever reaches the server. Throws EncodingError for a
// letter the code page lacks, as sending it would.
QString PasswordDigest(const QString& password);

}  // namespace zomi
