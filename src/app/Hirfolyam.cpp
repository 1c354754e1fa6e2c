#include "app/Hirfolyam.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/NoticeLook.h"
#include "notify/VendorServer.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Hirfolyam");

}  // namespace

Tfrm_Hirfolyam::Tfrm_Hirfolyam(const NewsItem& item, QWidget* parent)
    : QWidget(parent, Qt::Window), number_(item.number) {
    setObjectName(QStringLiteral("frm_Hirfolyam"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Hírek"));
    SetUpNoticeWindow(this, QColor(181, 210, 240));
    Label3 = NoticeTitle(this, "Label3", item.title);
    Label4 = NoticeText(this, "Label4", item.body);

    Label2 = new QLabel(QStringLiteral("Részletek:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(item.link);
    QFont linkFont = Label1->font();
    linkFont.setUnderline(true);
    Label1->setFont(linkFont);
    QPalette linkPalette = Label1->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    Label1->setPalette(linkPalette);
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->installEventFilter(this);

    CheckBox1 = NoticeCheckBox(this, QStringLiteral("Többet ne mutassa"));
    BitBtn1 = NoticeOkButton(this);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Hirfolyam::BitBtn1Click);
}

void Tfrm_Hirfolyam::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        RestoreWindowPlacement(this, kSection);
    }
    QWidget::showEvent(event);
}

void Tfrm_Hirfolyam::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceNoticeControls(this, Label3, Label4, 126, CheckBox1, BitBtn1);
    const int linkTop = height() - 67;
    Label2->setGeometry(8, linkTop, Label2->sizeHint().width(), 20);
    const int linkLeft = Label2->geometry().right() + 7;
    Label1->setGeometry(linkLeft, linkTop, width() - linkLeft - 11, 20);
}

void Tfrm_Hirfolyam::closeEvent(QCloseEvent* event) {
    // The window closes even when its placement cannot be written.
    Guarded(this, [this] { StoreWindowPlacement(this, kSection); });
    QWidget::closeEvent(event);
}

bool Tfrm_Hirfolyam::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit linkClicked(Label1->text());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrm_Hirfolyam::BitBtn1Click() {
    // A failed update keeps the window open: nothing was dismissed.
    if (Guarded(this, [this] {
            if (CheckBox1->isChecked()) AcknowledgeNews(number_);
        }))
        close();
}

void CheckNews(QWidget* owner, std::function<void(const QString& link)> openLink) {
    WatchTyping();
    int last = 0;
    if (!Guarded(owner, [&] { last = AcknowledgedNews(); })) return;
    FetchReply(NewsRequestUrl(last), NewsReplyFile(), owner,
               [owner, openLink = std::move(openLink)](const QString& reply) {
                   const std::optional<NewsItem> item = NewsToShow(reply);
                   if (!item) return;
                   // In front and active, as a notice must be to be seen; not
                   // while the user types elsewhere, whose keys it would take.
                   WhenTypingPauses(owner, [owner, openLink, item = *item] {
                       auto* frm = new Tfrm_Hirfolyam(item, owner);
                       QObject::connect(frm, &Tfrm_Hirfolyam::linkClicked, owner, openLink);
                       BringToFront(frm);
                   });
               });
}

}  // namespace zomi
