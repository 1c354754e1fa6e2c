#include "ui/AsteriskStyle.h"

#include <QLineEdit>

namespace zomi {

int AsteriskStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void MakePasswordBox(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    auto* asterisks = new AsteriskStyle;
    asterisks->setParent(edit);
    edit->setStyle(asterisks);
}

}  // namespace zomi
