#pragma once

// The application's state record: settings read at start, the connection
// profile in use and the logged-in user. One instance for the whole run;
// only the start-up, the login and the font-size actions write it.

#include <QString>

namespace zomi {

struct TBeall {
    QString Format = QStringLiteral("### ### ##0");
    QString Format2 = QStringLiteral("### ### ##0");
    int FontSize = 0;
    double Afakulcs = 1.27;
    bool FullScreen = true;
    QString HtmlPath;
    QString LangFile;
    QString ConStr;
    QString AdatbazisNev;
    bool VanBelep = false;
    QString Felhasznalo;
    bool TorzsSzerkeszt = false;
    bool Rendszergazda = false;
    bool Nyomtathat = false;
    // The database's setting that the three rights above guard what they
    // name; off, every user may do everything, as the Windows clients let.
    bool RightsEnforced = false;
};

inline TBeall Beall;

}  // namespace zomi
