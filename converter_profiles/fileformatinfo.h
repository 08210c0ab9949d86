#ifndef FILEFORMATINFO_H
#define FILEFORMATINFO_H

#include <QString>

// A format's container information from the catalogue: "V_Format" and "V_Extend".
struct FileFormatInfo
{
    QString format;
    QString extend;
};

#endif
