#include "app/Verziokovetes.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/NoticeLook.h"
#include "notify/VendorServer.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Verziokovetes");

}  // namespace

Tfrm_Verziokovetes::Tfrm_Verziokovetes(const VersionNotice& notice, QWidget* parent)
    : QDialog(parent), version_(notice.version) {
    setObjectName(QStringLiteral("frm_Verziokovetes"));
    setWindowTitle(QStringLiteral("Verziókövetés: ") + notice.version);
    SetUpNoticeWindow(this, QColor(248, 192, 184));
    Label3 = NoticeTitle(this, "Label3", QStringLiteral("Új verzió megjelenés"));
    Label4 = NoticeText(this, "Label4", notice.description);
    CheckBox1 = NoticeCheckBox(this, QStringLiteral("Többet ne figyelmeztessen"));
    BitBtn1 = NoticeOkButton(this);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Verziokovetes::BitBtn1Click);
}

void Tfrm_Verziokovetes::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        RestoreWindowPos(this, kSection);
        // A notice comes to the front where the window manager lets it.
        QTimer::singleShot(0, this, [this] { BringToFront(this); });
    }
    QDialog::showEvent(event);
}

void Tfrm_Verziokovetes::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceNoticeControls(this, Label3, Label4, 94, CheckBox1, BitBtn1);
}

void Tfrm_Verziokovetes::done(int result) {
    StoreWindowPos(this, kSection);
    QDialog::done(result);
}

void Tfrm_Verziokovetes::BitBtn1Click() {
    // A failed update keeps the window open: nothing was acknowledged.
    if (Guarded(this, [this] {
            if (CheckBox1->isChecked()) AcknowledgeVersion(version_);
        }))
        accept();
}

void CheckVersion(QWidget* owner) {
    WatchTyping();
    FetchReply(VersionRequestUrl(), VersionReplyFile(), owner, [owner](const QString& reply) {
        std::optional<VersionNotice> notice;
        Guarded(owner, [&] { notice = VersionToShow(reply, AcknowledgedVersion()); });
        if (!notice) return;
        // Not while the user types elsewhere: the window would take the keys.
        WhenTypingPauses(owner, [owner, notice = *notice] {
            Guarded(owner, [&] {
                Tfrm_Verziokovetes frm(notice, owner);
                frm.exec();
            });
        });
    });
}

}  // namespace zomi
