#include "app/MessagePanel.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "common/Links.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

MessagePanel::MessagePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("pUzenet"));
    setFixedHeight(193);
    hide();
    LblUzenet = new QLabel(this);
    LblUzenet->setObjectName(QStringLiteral("LblUzenet"));
    // A message is whatever someone wrote into the database: text, never
    // markup (an image tag would make every workstation read its file).
    LblUzenet->setTextFormat(Qt::PlainText);
    LblUzenet->setGeometry(20, 20, 533, 73);
    LblUzenet->setWordWrap(true);
    LblUzenet->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(15);
    big.setBold(true);
    LblUzenet->setFont(big);
    LblUzLink = new QLabel(this);
    LblUzLink->setObjectName(QStringLiteral("LblUzLink"));
    LblUzLink->setTextFormat(Qt::PlainText);
    LblUzLink->setGeometry(20, 100, 533, 20);
    QFont link(QStringLiteral("Arial"));
    link.setPixelSize(12);
    link.setUnderline(true);
    LblUzLink->setFont(link);
    LblUzLink->installEventFilter(this);
    BtnUzenet1 = new QPushButton(QStringLiteral("Rendben"), this);
    BtnUzenet1->setObjectName(QStringLiteral("BtnUzenet1"));
    BtnUzenet1->setGeometry(20, 128, 121, 49);
    BtnUzenet2 = new QPushButton(QStringLiteral("Rendben\ntöbbet ne figyelmeztessen"), this);
    BtnUzenet2->setObjectName(QStringLiteral("BtnUzenet2"));
    BtnUzenet2->setGeometry(148, 128, 217, 49);
    connect(BtnUzenet1, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { dismiss(false); }); });
    connect(BtnUzenet2, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { dismiss(true); }); });
}

void MessagePanel::LoadMessage() {
    dbaccess::Query q(MainConnection());
    q.setSql(QStringLiteral("SELECT * FROM uzenet WHERE olvasva = 'N' ORDER BY 1;"));
    q.open();
    if (q.isEmpty()) {
        hide();
        messageId_ = -1;
        return;
    }
    const bool dismissable =
        NullToText(q.value(QStringLiteral("csakegyszer")), QString()) == QStringLiteral("N");
    const QColor background = dismissable ? QColor(0, 128, 192) : QColor(255, 128, 128);
    setStyleSheet(QStringLiteral("#pUzenet { background: %1; border: 3px solid white; } "
                                 "#pUzenet QLabel { color: white; }")
                      .arg(background.name()));
    BtnUzenet2->setVisible(dismissable);
    LblUzenet->setText(NullToText(q.value(QStringLiteral("szoveg")), QString()));
    link_ = NullToText(q.value(QStringLiteral("link")), QString());
    LblUzLink->setText(link_);
    LblUzLink->setVisible(!link_.isEmpty());
    // A link that will not be opened is shown as text, not as a link.
    const bool openable = OpenableLink(link_).isValid();
    LblUzLink->setCursor(openable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QFont linkFont = LblUzLink->font();
    linkFont.setUnderline(openable);
    LblUzLink->setFont(linkFont);
    messageId_ = NullToInt(q.value(QStringLiteral("uzenet")), -1);
    // An unread message is worth showing: the panel comes up under the list.
    show();
    raise();
}

void MessagePanel::dismiss(bool forGood) {
    // "Rendben" on a message shown only once, or the second button on one the
    // user may switch off, marks it read; otherwise it comes back next start.
    const bool showOnce = BtnUzenet2->isHidden();
    if ((forGood || showOnce) && messageId_ >= 0)
        ExecSql(QStringLiteral("UPDATE uzenet SET olvasva = 'I' WHERE uzenet = ") +
                QString::number(messageId_) + QLatin1Char(';'));
    hide();
    if (forGood || showOnce) LoadMessage();
}

bool MessagePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LblUzLink && event->type() == QEvent::MouseButtonRelease) {
        if (!link_.isEmpty()) emit linkClicked(link_);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace zomi
