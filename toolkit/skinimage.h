#ifndef SKINIMAGE_H
#define SKINIMAGE_H

#include <QImage>
#include <QString>

// A skin image from a file at double density; a null image when the file is missing or does not
// decode, so callers keep their unskinned look.
QImage loadSkinImage(const QString &path);
// The same as an owned copy, or none.
QImage *newSkinImage(const QString &path);
// The same, read from the file once per path for the whole program (GUI thread only): for
// pictures drawn at every paint. A file missing at the first request stays missing.
QImage sharedSkinImage(const QString &path);

#endif
