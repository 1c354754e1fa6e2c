#pragma once

// The register's message panel: the oldest unread message of the uzenet
// table, with "Rendben" and, for a message the user may switch off, a button
// that marks it read for good.

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

namespace zomi {

class MessagePanel : public QFrame {
    Q_OBJECT

  public:
    explicit MessagePanel(QWidget* parent);

    QLabel* LblUzenet = nullptr;
    QLabel* LblUzLink = nullptr;
    QPushButton* BtnUzenet1 = nullptr;
    QPushButton* BtnUzenet2 = nullptr;

    // Shows the oldest unread message, or hides the panel when there is none.
    void LoadMessage();
    int messageId() const { return messageId_; }

  signals:
    // The user clicked the message's link.
    void linkClicked(const QString& link);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void dismiss(bool forGood);

    int messageId_ = -1;
    QString link_;
};

}  // namespace zomi
