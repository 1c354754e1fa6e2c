#pragma once

#include <QApplication>

namespace zomi {

// The application object. An error that escapes every window's own handling
// is shown by the general error display here, and the application goes on.
class Application : public QApplication {
    Q_OBJECT

  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace zomi
