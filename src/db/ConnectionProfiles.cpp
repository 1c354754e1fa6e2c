#include "db/ConnectionProfiles.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "db/ProfilePasswords.h"

namespace zomi {

namespace {

const QString kSeparator = QStringLiteral(";");
constexpr int kHighestProfileNumber = 100;

QString section() { return QString::fromLatin1(kProfileSection); }

const QString kKeyringMarker = QStringLiteral("kulcstarto:");

QString keyringIdOf(const QString& text) {
    const QString marker = FieldOf(kSeparator, text, 7);
    return marker.startsWith(kKeyringMarker) ? marker.mid(kKeyringMarker.size()) : QString();
}

QString keyringLabel(const ConnectionProfile& p) {
    return QStringLiteral("Zomi: %1 (%2@%3/%4)")
        .arg(p.adatbazisnev, p.felhasznalo, p.kiszolgalo, p.adatbazis);
}

QStringList storedKeyringIds() {
    QStringList ids;
    for (int n = 1; n <= kHighestProfileNumber; ++n) {
        const QString id = keyringIdOf(ReadScrambledSetting(section(), ProfileKey(n)));
        if (!id.isEmpty()) ids << id;
    }
    return ids;
}

// The profile as the file will hold it: in the keyring when it takes the
// password, else with the password scrambled in the file.
ConnectionProfile storedForm(const ConnectionProfile& profile, bool* fellBack) {
    *fellBack = false;
    if (profile.keyringId.isEmpty()) return profile;
    if (profile.keyringUnanswered && profile.jelszo.isEmpty()) return profile;
    try {
        StoreKeyringPassword(profile.keyringId, keyringLabel(profile), profile.jelszo);
        return profile;
    } catch (const KeyringError&) {
        ConnectionProfile inFile = profile;
        inFile.keyringId.clear();
        *fellBack = true;
        return inFile;
    }
}

}  // namespace

QString ProfileColumnText(const ConnectionProfile& p, ProfileColumn column) {
    switch (column) {
        case ProfileColumn::AdatbazisNev:
            return p.adatbazisnev;
        case ProfileColumn::Adatbazis:
            return p.adatbazis;
        case ProfileColumn::Kiszolgalo:
            return p.kiszolgalo;
        case ProfileColumn::Port:
            return p.port ? QString::number(*p.port) : QString();
        case ProfileColumn::Felhasznalo:
            return p.felhasznalo;
        case ProfileColumn::Verzio:
            return p.verzio;
    }
    return QString();
}

ConnectionProfile ProfileFromText(const QString& text) {
    const auto field = [&](int n) { return FieldOf(kSeparator, text, n); };
    ConnectionProfile p;
    p.adatbazis = field(1);
    p.kiszolgalo = field(2);
    p.port = TextToInt(field(3));
    p.felhasznalo = field(4);
    p.jelszo = field(5);
    p.adatbazisnev = field(6);
    p.keyringId = keyringIdOf(text);
    return p;
}

QString ProfileText(const ConnectionProfile& p) {
    const QString port = QString::number(p.port.value_or(0));
    const QString password = p.keyringId.isEmpty() ? p.jelszo : QString();
    QString text;
    for (const QString* value :
         {&p.adatbazis, &p.kiszolgalo, &port, &p.felhasznalo, &password, &p.adatbazisnev})
        text += *value + kSeparator;
    if (!p.keyringId.isEmpty()) text += kKeyringMarker + p.keyringId + kSeparator;
    return text;
}

QString PlainProfileText(const QString& stored) {
    const QString id = keyringIdOf(stored);
    if (id.isEmpty()) return stored;
    QStringList fields;
    for (int n = 1; n <= 6; ++n) fields << FieldOf(kSeparator, stored, n);
    fields[4] = KeyringPassword(id).value_or(QString());
    return fields.join(kSeparator) + kSeparator;
}

QList<ConnectionProfile> ReadStoredProfiles() {
    QList<ConnectionProfile> profiles;
    for (int n = 1; n <= kHighestProfileNumber; ++n) {
        const QString text = ReadScrambledSetting(section(), ProfileKey(n));
        if (text.isEmpty()) continue;
        ConnectionProfile profile = ProfileFromText(text);
        if (!profile.keyringId.isEmpty()) {
            const std::optional<QString> password = KeyringPassword(profile.keyringId);
            profile.jelszo = password.value_or(QString());
            profile.keyringUnanswered = !password.has_value();
        }
        profiles << profile;
    }
    return profiles;
}

QStringList WriteStoredProfiles(const QList<ConnectionProfile>& profiles) {
    const QStringList formerIds = storedKeyringIds();
    QStringList keptIds;
    QStringList fellBack;
    // The new list first, then the numbers it no longer uses: a write that
    // fails part-way loses as little as it can.
    int n = 0;
    for (const ConnectionProfile& profile : profiles) {
        bool inFile = false;
        const ConnectionProfile stored = storedForm(profile, &inFile);
        if (inFile) fellBack << profile.adatbazisnev;
        if (!stored.keyringId.isEmpty()) keptIds << stored.keyringId;
        WriteScrambledSetting(section(), ProfileKey(++n), ProfileText(stored));
    }
    while (++n <= kHighestProfileNumber) IniDeleteKey(SettingsPath(), section(), ProfileKey(n));
    for (const QString& id : formerIds) {
        if (keptIds.contains(id)) continue;
        try {
            RemoveKeyringPassword(id);
        } catch (const KeyringError&) {
            // Left in the user's own keyring, where only that user can read it.
        }
    }
    return fellBack;
}

QList<int> SortedOrder(const QList<ConnectionProfile>& profiles, ProfileColumn column) {
    QList<int> order;
    for (int i = 0; i < profiles.size(); ++i) order << i;
    if (column == ProfileColumn::Port) {
        // An empty port sorts first, as an empty text does.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return profiles[a].port.value_or(-1) < profiles[b].port.value_or(-1);
        });
        return order;
    }
    QCollator collator{QLocale(QLocale::Hungarian, QLocale::Hungary)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return collator.compare(ProfileColumnText(profiles[a], column),
                                ProfileColumnText(profiles[b], column)) < 0;
    });
    return order;
}

void SortProfiles(QList<ConnectionProfile>& profiles, ProfileColumn column) {
    QList<ConnectionProfile> sorted;
    for (int i : SortedOrder(profiles, column)) sorted << profiles[i];
    profiles = sorted;
}

dbaccess::ConnectionParams ProfileConnectionParams(const ConnectionProfile& profile) {
    dbaccess::ConnectionParams params;
    params.host = profile.kiszolgalo;
    params.user = profile.felhasznalo;
    params.password = profile.jelszo;
    params.database = profile.adatbazis;
    params.port = static_cast<unsigned>(std::max(0, profile.port.value_or(0)));
    params.connectTimeoutSeconds = 30;
    params.compress = true;
    params.setUpSession = true;
    return params;
}

int FieldWithSeparator(const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i)
        if (texts[i].contains(kSeparator)) return i;
    return -1;
}

QString SeparatorMessage(const QString& caption) {
    return QStringLiteral(
               "A(z) \"%1\" mezőben nem lehet pontosvessző (;), mert a program a kapcsolat "
               "adatait pontosvesszővel elválasztva tárolja.")
        .arg(caption);
}

QString ConnectionFailureText(const dbaccess::ConnectionParams& params, const QString& reason) {
    // The client library's defaults for an empty host and a port of 0.
    const QString host = params.host.isEmpty() ? QStringLiteral("localhost") : params.host;
    const unsigned port = params.port == 0 ? 3306 : params.port;
    return QStringLiteral("Hiba: nem sikerült kapcsolódni a kiszolgálóhoz (gép: %1, port: %2).\n%3")
        .arg(host)
        .arg(port)
        .arg(reason);
}

bool PortFromText(const QString& text, std::optional<int>& port) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        port.reset();
        return true;
    }
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok || value < 0 || value > 65535) return false;
    port = value;
    return true;
}

QString BackupFileProposal(const QString& database, const QDateTime& when) {
    return database + QLatin1Char('-') + when.toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
}

QString ReadStructureVersion(dbaccess::Connection& connection) {
    return connection.scalar(QStringLiteral("SELECT MAX(verzio) FROM verzio;")).text;
}

}  // namespace zomi
