#include "app/CommandLine.h"

#include "common/ProgramVersion.h"

namespace zomi {

namespace {

const QLatin1String kDataDir("--data-dir");

CommandLine failed(const QString& error) {
    CommandLine line;
    line.action = CommandLine::Action::Fail;
    line.error = error;
    return line;
}

// Qt's own options, which QApplication takes out of argv itself; the ones
// with a value take the next argument too.
bool isQtOption(const QString& arg, bool* takesValue) {
    static const QStringList withValue{
        QStringLiteral("-platform"),      QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
        QStringLiteral("-qmljsdebugger"), QStringLiteral("-style"),
        QStringLiteral("-stylesheet"),    QStringLiteral("-display"),
        QStringLiteral("-geometry"),      QStringLiteral("-qwindowgeometry"),
        QStringLiteral("-qwindowicon"),   QStringLiteral("-qwindowtitle"),
        QStringLiteral("-session")};
    static const QStringList alone{QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                   QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                   QStringLiteral("-sync")};
    *takesValue = withValue.contains(arg);
    return *takesValue || alone.contains(arg);
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine line;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        bool takesValue = false;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == QLatin1String("--write-profile")) {
            if (args.size() - i != 3)
                return failed(QStringLiteral(
                    "A --write-profile után egy mappa és egy tárhely szöveg következik."));
            line.action = CommandLine::Action::WriteProfile;
            line.profileDir = args.at(i + 1);
            line.profile = args.at(i + 2);
            return line;
        }
        if (arg == kDataDir || arg.startsWith(kDataDir + QLatin1Char('='))) {
            line.dataDir = arg == kDataDir ? args.value(++i) : arg.mid(kDataDir.size() + 1);
            if (line.dataDir.isEmpty())
                return failed(QStringLiteral("A --data-dir után egy mappa neve következik."));
        } else if (isQtOption(arg, &takesValue)) {
            if (takesValue) ++i;
        } else {
            return failed(QStringLiteral("Ismeretlen kapcsoló: %1").arg(arg));
        }
    }
    return line;
}

QString HelpText() {
    return QStringLiteral(
        "Használat: zomi [--data-dir MAPPA]\n"
        "       zomi --write-profile MAPPA TÁRHELY\n"
        "\n"
        "Zomi: egy karbantartó iroda munkalap-nyilvántartása.\n"
        "\n"
        "  --data-dir MAPPA      a Zomi.ini beállításfájl mappája (a ZOMI_DATA_DIR\n"
        "                        környezeti változó is megadhatja)\n"
        "  --write-profile MAPPA TÁRHELY\n"
        "                        egy kapcsolati tárhelyet ír a MAPPA/Zomi.ini fájlba, majd\n"
        "                        kilép; a TÁRHELY alakja:\n"
        "                        \"adatbázis;kiszolgáló;port;felhasználó;jelszó;megnevezés\"\n"
        "  -h, --help            ez a súgó\n"
        "  -v, --version         a program verziója\n"
        "\n"
        "A beállítások helye, ha nincs megadva: a program mappája, ha ott van Zomi.ini;\n"
        "különben a minden felhasználónak közös /var/lib/zomi, ha létezik; különben\n"
        "~/.local/share/Zomi.Net.\n");
}

QString VersionText() { return QStringLiteral("Zomi %1\n").arg(QLatin1String(kProgramVersion)); }

}  // namespace zomi
