#pragma once

#include <QProxyStyle>

class QLineEdit;

namespace zomi {

// The platform's own mask character differs between styles; the users know
// the asterisk.
class AsteriskStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Makes the edit box a password box that shows an asterisk for each letter.
void MakePasswordBox(QLineEdit* edit);

}  // namespace zomi
