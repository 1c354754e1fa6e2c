#include "db/ProfilePasswords.h"

// GLib's headers name a member "signals", which Qt defines as a keyword; this
// file uses none of Qt's keywords.
#undef signals
#include <libsecret/secret.h>

namespace zomi {

namespace {

const char kIdAttribute[] = "profile";

const SecretSchema* profileSchema() {
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "hu.tarvelo.Zomi.Profile";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0].name = kIdAttribute;
        s.attributes[0].type = SECRET_SCHEMA_ATTRIBUTE_STRING;
        return s;
    }();
    return &schema;
}

// Takes the error over; its text, empty when there was none.
QString takeError(GError* error) {
    if (!error) return QString();
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}

KeyringError keyringError(const QString& what, const QString& reason) {
    return KeyringError(
        QStringLiteral("A rendszer kulcstartója nem válaszol (%1): %2").arg(what, reason));
}

}  // namespace

bool KeyringAvailable() {
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(profileSchema(), nullptr, &error, kIdAttribute,
                                               "zomi-probe", nullptr);
    if (found) secret_password_free(found);
    return takeError(error).isEmpty();
}

void StoreKeyringPassword(const QString& id, const QString& label, const QString& password) {
    GError* error = nullptr;
    const QByteArray idBytes = id.toUtf8();
    const QByteArray labelBytes = label.toUtf8();
    const QByteArray secret = password.toUtf8();
    const gboolean stored = secret_password_store_sync(
        profileSchema(), SECRET_COLLECTION_DEFAULT, labelBytes.constData(), secret.constData(),
        nullptr, &error, kIdAttribute, idBytes.constData(), nullptr);
    const QString reason = takeError(error);
    if (!stored || !reason.isEmpty()) throw keyringError(QStringLiteral("jelszó tárolása"), reason);
}

std::optional<QString> KeyringPassword(const QString& id) {
    GError* error = nullptr;
    const QByteArray idBytes = id.toUtf8();
    gchar* found = secret_password_lookup_sync(profileSchema(), nullptr, &error, kIdAttribute,
                                               idBytes.constData(), nullptr);
    takeError(error);
    if (!found) return std::nullopt;
    QString password = QString::fromUtf8(found);
    secret_password_free(found);
    return password;
}

void RemoveKeyringPassword(const QString& id) {
    GError* error = nullptr;
    const QByteArray idBytes = id.toUtf8();
    secret_password_clear_sync(profileSchema(), nullptr, &error, kIdAttribute, idBytes.constData(),
                               nullptr);
    const QString reason = takeError(error);
    if (!reason.isEmpty()) throw keyringError(QStringLiteral("jelszó törlése"), reason);
}

}  // namespace zomi
