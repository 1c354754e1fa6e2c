#include "db/ZipFile.h"

#include <zip.h>

#include <QFile>
#include <cmath>

#include "common/FileProblems.h"

namespace zomi {

namespace {

QString openError(const QString& archive, int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return QStringLiteral("A(z) %1 archívum nem nyitható meg: %2").arg(archive, text);
}

[[noreturn]] void failWith(zip_t* archive, const QString& what) {
    const QString text =
        what + QStringLiteral(": ") + QString::fromLocal8Bit(zip_strerror(archive));
    zip_discard(archive);
    throw ZipError(text);
}

// Writing the archive failed: the reason in the user's words where the
// system gave one (libzip writes a temporary file beside the archive).
[[noreturn]] void failWriting(zip_t* archive, const QString& fileName) {
    const QString reason =
        WriteFailureReason(fileName, QString::fromLocal8Bit(zip_strerror(archive)));
    zip_discard(archive);
    throw ZipError(QStringLiteral("A(z) %1 archívum nem írható: %2").arg(fileName, reason));
}

void reportProgress(zip_t*, double done, void* state) {
    const auto* progress = static_cast<std::function<void(int)>*>(state);
    if (*progress) (*progress)(static_cast<int>(std::lround(done * 100)));
}

}  // namespace

void ZipOneFile(const QString& archive, const QString& sourceFile, const QString& entryName,
                const std::function<void(int)>& progress) {
    int code = 0;
    // libzip writes the new archive beside the old one and renames it into
    // place only on success.
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) throw ZipError(openError(archive, code));
    zip_source_t* source = zip_source_file(zip, QFile::encodeName(sourceFile).constData(), 0, -1);
    if (!source) failWith(zip, QStringLiteral("A(z) %1 fájl nem olvasható").arg(sourceFile));
    const zip_int64_t index =
        zip_file_add(zip, entryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        failWith(zip, QStringLiteral("A(z) %1 nem vehető fel az archívumba").arg(entryName));
    }
    if (zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) != 0)
        failWith(zip, QStringLiteral("A tömörítés nem állítható be"));
    std::function<void(int)> report = progress;
    zip_register_progress_callback_with_state(zip, 0.01, reportProgress, nullptr, &report);
    if (zip_close(zip) != 0) failWriting(zip, archive);
}

QByteArray ReadZipEntry(const QString& archive, const QString& suffix) {
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &code);
    if (!zip) throw ZipError(openError(archive, code));
    const zip_int64_t entries = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        if (zip_stat_index(zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            !(stat.valid & ZIP_STAT_NAME))
            continue;
        if (!QString::fromUtf8(stat.name).endsWith(suffix, Qt::CaseInsensitive)) continue;
        zip_file_t* file = zip_fopen_index(zip, index, 0);
        if (!file)
            failWith(zip,
                     QStringLiteral("A(z) %1 nem olvasható").arg(QString::fromUtf8(stat.name)));
        QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
        const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
        const bool complete = read == static_cast<zip_int64_t>(stat.size);
        const QString fileError =
            complete ? QString() : QString::fromLocal8Bit(zip_file_strerror(file));
        zip_fclose(file);
        zip_discard(zip);
        if (!complete)
            throw ZipError(QStringLiteral("A(z) %1 archívum sérült: %2").arg(archive, fileError));
        return bytes;
    }
    zip_discard(zip);
    throw ZipError(QStringLiteral("A(z) %1 archívumban nincs %2 fájl.").arg(archive, suffix));
}

}  // namespace zomi
