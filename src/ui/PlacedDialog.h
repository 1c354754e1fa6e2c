#pragma once

// A resizable dialog that takes the interface font size when it is shown and
// comes back where and as large as the user left it, under its section of
// the settings file (also its object name).

#include <QDialog>

namespace zomi {

class PlacedDialog : public QDialog {
    Q_OBJECT

  public:
    PlacedDialog(const QString& section, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
};

}  // namespace zomi
