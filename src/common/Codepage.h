#pragma once

// Conversions between Qt's Unicode text and Windows code page 1250, the one
// single-byte code page the application lives in: on the database wire, in
// the settings file and in the export files. The database session is latin2,
// which shares its codes with code page 1250 only for the Hungarian letters;
// the other clients of the same databases send their code-page-1250 bytes
// through it unchanged, so those bytes are what a text column holds.
// Encoding never substitutes "?": a character the code page cannot hold is
// refused with an error naming it.

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace zomi {

class EncodingError : public std::runtime_error {
  public:
    EncodingError(const QString& message, const QString& character);
    explicit EncodingError(const QString& message) : EncodingError(message, QString()) {}
    const QString& message() const { return message_; }
    // The refused character as the messages name it: "€" (U+20AC).
    const QString& character() const { return character_; }

  private:
    QString message_;
    QString character_;
};

// Every byte has a character: the five bytes the code page leaves undefined
// decode to the C1 control of the same value, so any bytes survive a round trip.
QString FromCp1250(const char* data, qsizetype size);
QString FromCp1250(const QByteArray& bytes);
QByteArray ToCp1250(const QString& text);  // throws EncodingError
bool FitsCp1250(const QString& text);

}  // namespace zomi
