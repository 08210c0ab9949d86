#ifndef SKINSET_H
#define SKINSET_H

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

// One image of the skin: its path below the resource folder and how to draw it.
struct SkinImage
{
    QString path;
    std::function<QImage()> draw;
};
using SkinSet = std::vector<SkinImage>;

// Each group adds the images its windows and controls load.
void addCommonSkins(SkinSet &set);
void addToolkitSkins(SkinSet &set);
void addControlSkins(SkinSet &set);
void addPlayerSkins(SkinSet &set);
void addPlaylistSkins(SkinSet &set);
void addSettingsSkins(SkinSet &set);
void addAboutSkins(SkinSet &set);
void addShellSkins(SkinSet &set);
void addMediaInfoSkins(SkinSet &set);

#endif
