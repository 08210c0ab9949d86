#ifndef QVEANYUTILIY_H
#define QVEANYUTILIY_H

#include <QString>

// Small helpers the toolkit needs of its surroundings.
class QVeAnyUtiliy
{
public:
    QVeAnyUtiliy() {}

    static void QDpiScaleInit();
    static float getDpiScale();
    // Byte count as short text: "1023 B", "1.50 KB", ... "2.00 T".
    static QString converSize(unsigned long long bytes);
    // <root>//Resources, cached.
    static QString getResourcePath();
    // Equal within a millionth (strict bounds).
    static bool equalDouble(double a, double b);
};

#endif
