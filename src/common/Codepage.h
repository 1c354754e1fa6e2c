#pragma once

// Conversions between Qt's Unicode text and the two single-byte code pages the
// application lives in: latin2 on the database wire, Windows 1250 in the
// settings file and the export files. Encoding never substitutes "?": a
// character the code page cannot hold is refused with an error naming it.

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace zomi {

class EncodingError : public std::runtime_error {
  public:
    explicit EncodingError(const QString& message);
    const QString& message() const { return message_; }

  private:
    QString message_;
};

QString FromLatin2(const char* data, qsizetype size);
QString FromLatin2(const QByteArray& bytes);
QByteArray ToLatin2(const QString& text);  // throws EncodingError
bool FitsLatin2(const QString& text);

QString FromCp1250(const QByteArray& bytes);
QByteArray ToCp1250(const QString& text);  // throws EncodingError
bool FitsCp1250(const QString& text);

}  // namespace zomi
