#include "workfile/WorkFileStart.h"

#include <QRegularExpression>
#include <QString>
#include <QSysInfo>

#include "common/Beall.h"
#include "common/Settings.h"
#include "db/WorkFileSchema.h"
#include "dbaccess/Connection.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

namespace {
const QString kRefusalSection = QStringLiteral("Csatolmanyok");
}

QString WorkFileRefusalKey(const dbaccess::Connection& connection) {
    const dbaccess::ConnectionParams& p = connection.params();
    QString key = QStringLiteral("%1_%2_%3").arg(p.host).arg(p.port).arg(p.database);
    key.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    return QStringLiteral("Elutasitva_") + key;
}

void StartWorkFileSession(dbaccess::Connection& connection, QWidget* owner) {
    const QString user = Beall.Felhasznalo;
    const QString host = QSysInfo::machineHostName();
    NameSessionUser(connection, user, host);
    // A session that replaces a lost one names the user again before it
    // runs anything else.
    QObject::connect(&connection, &dbaccess::Connection::reconnected, &connection,
                     [&connection, user, host] { NameSessionUser(connection, user, host); });

    // Without a login nobody is known to be the administrator: the menu
    // item offers it then.
    if (!Beall.VanBelep || !Beall.Rendszergazda) return;
    const WorkFileState state = ReadWorkFileState(connection);
    if (state.attachments && state.history) return;
    if (ReadBoolSetting(kRefusalSection, WorkFileRefusalKey(connection), false)) return;
    OfferWorkFile(connection, owner);
}

bool OfferWorkFile(dbaccess::Connection& connection, QWidget* owner) {
    if (!ConfirmBox(WorkFileOfferText(), QStringLiteral("Megerősítés"), owner)) {
        WriteBoolSetting(kRefusalSection, WorkFileRefusalKey(connection), true);
        return false;
    }
    // A database the account may not change keeps working without them.
    WorkFileInstall install;
    if (!Guarded(owner, [&] { install = InstallWorkFile(connection); })) return false;
    WriteBoolSetting(kRefusalSection, WorkFileRefusalKey(connection), false);
    if (!install.historyNote.isEmpty()) {
        WarningBox(install.historyNote, owner);
    } else {
        InfoBox(QStringLiteral("A csatolmányok és az előzmények táblái elkészültek. A munkalap "
                               "ablakában a „Csatolmányok” és az „Előzmények” gomb nyitja őket."),
                owner);
    }
    return install.state.attachments;
}

}  // namespace zomi
