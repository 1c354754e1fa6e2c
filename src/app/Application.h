#pragma once

#include <QApplication>
#include <QTranslator>

namespace zomi {

// The application object. It makes Qt's own dialogs and buttons speak
// Hungarian; an error that escapes every window's own handling is shown by
// the general error display here, and the application goes on.
class Application : public QApplication {
    Q_OBJECT

  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    QTranslator qtTranslation_;
};

}  // namespace zomi
