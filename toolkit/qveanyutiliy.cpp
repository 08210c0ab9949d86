#include "toolkit/qveanyutiliy.h"

#include "services/qianyutil.h"
#include "services/quianyutiliy.h"

void QVeAnyUtiliy::QDpiScaleInit()
{
    QUiAnyUtiliy::QDpiScaleInit();
}

float QVeAnyUtiliy::getDpiScale()
{
    return QUiAnyUtiliy::getDpiScale();
}

QString QVeAnyUtiliy::converSize(unsigned long long bytes)
{
    return QUiAnyUtiliy::converSize(bytes);
}

QString QVeAnyUtiliy::getResourcePath()
{
    return QIAnyUtil::getResourcePath();
}

bool QVeAnyUtiliy::equalDouble(double a, double b)
{
    const double diff = a - b;
    return diff > -0.000001 && diff < 0.000001;
}
