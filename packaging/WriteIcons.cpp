// Writes the program's icon into a hicolor icon theme folder, one PNG a size,
// from the drawing the windows themselves use, so the desktop menu and the
// window show the same picture.
//
//   zomi_icons FOLDER      writes FOLDER/hicolor/NxN/apps/zomi.png

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "ui/Pictures.h"

int main(int argc, char** argv) {
    // A build machine has no display; the drawing needs none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zomi_icons FOLDER\n");
        return 2;
    }
    for (int size : zomi::kProgramIconSizes) {
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = folder + QStringLiteral("/zomi.png");
        if (!QDir().mkpath(folder) || !zomi::ProgramPicture(size).save(file, "PNG")) {
            std::fprintf(stderr, "zomi_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
