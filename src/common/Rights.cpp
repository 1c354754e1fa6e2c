#include "common/Rights.h"

#include "common/Beall.h"

namespace zomi {

bool HasRight(Right right) {
    if (!Beall.RightsEnforced) return true;
    switch (right) {
        case Right::Administrator:
            return Beall.Rendszergazda;
        case Right::MasterData:
            return Beall.TorzsSzerkeszt;
        case Right::Print:
            return Beall.Nyomtathat;
    }
    return false;
}

QString RightName(Right right) {
    switch (right) {
        case Right::Administrator:
            return QStringLiteral("Rendszergazda");
        case Right::MasterData:
            return QStringLiteral("Törzsadat szerkesztés");
        case Right::Print:
            return QStringLiteral("Nyomtathat");
    }
    return QString();
}

QString RightRefusal(Right right) {
    return QStringLiteral("Ehhez a művelethez „%1” jogosultság kell.").arg(RightName(right));
}

QString RightHint(const QString& hint, Right right) {
    return hint + QStringLiteral(" („%1” jogosultság kell)").arg(RightName(right));
}

}  // namespace zomi
