// Draws every skin image into the resource folder given on the command line.
#include "skinset.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <resource folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);

    SkinSet set;
    addCommonSkins(set);
    addToolkitSkins(set);
    addControlSkins(set);
    addPlayerSkins(set);
    addPlaylistSkins(set);
    addSettingsSkins(set);
    addAboutSkins(set);
    addShellSkins(set);
    addMediaInfoSkins(set);

    int failures = 0;
    for (const SkinImage &skin : set) {
        const QString file = root + skin.path;
        QDir().mkpath(QFileInfo(file).path());
        const QImage image = skin.draw();
        if (image.isNull() || !image.save(file, "PNG")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
