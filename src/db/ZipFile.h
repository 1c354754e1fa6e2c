#pragma once

// The one-file zip archives of the data backup, through libzip.

#include <QByteArray>
#include <QString>
#include <functional>
#include <stdexcept>

namespace zomi {

class ZipError : public std::runtime_error {
  public:
    explicit ZipError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// Creates the archive (replacing an earlier one only once the new one is
// complete) holding the source file as its one entry under entryName, with
// no folder path, deflated at the highest level. progress gets the percent
// done. Throws ZipError; the earlier archive then stays as it was.
void ZipOneFile(const QString& archive, const QString& sourceFile, const QString& entryName,
                const std::function<void(int)>& progress);

// The contents of the archive's first entry whose name ends in the suffix
// (any letter case). Throws ZipError.
QByteArray ReadZipEntry(const QString& archive, const QString& suffix);

}  // namespace zomi
