#pragma once

// The passwords of connection profiles kept in the desktop's keyring (the
// Secret Service, through libsecret) instead of the settings file, whose
// scrambled form any reader of the file undoes. Every call asks the keyring
// at once; a desktop without one answers "not available", never hangs on it.

#include <QString>
#include <optional>
#include <stdexcept>

namespace zomi {

class KeyringError : public std::runtime_error {
  public:
    explicit KeyringError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// Whether a keyring answers on this desktop now.
bool KeyringAvailable();
// Keeps the password under the profile's id, replacing what was there; the
// label is what the keyring's own window shows. Throws KeyringError.
void StoreKeyringPassword(const QString& id, const QString& label, const QString& password);
// The password kept under the id; nothing when no keyring answers or it
// holds none.
std::optional<QString> KeyringPassword(const QString& id);
// Forgets the password of the id; nothing there is no error. Throws KeyringError.
void RemoveKeyringPassword(const QString& id);

}  // namespace zomi
