#include "toolkit/qzrmessageboxoption.h"

#include "toolkit/qprojectconfig.h"
#include "toolkit/qveanyutiliy.h"

QZRMessageBoxOption::QZRMessageBoxOption()
{
    const QProjectConfig *config = QProjectConfig::getProjectConfig();
    titleFont = config->font();
    messageFont = config->font();
    dlgTop = config->dlgTop();
    dlgBottom = config->dlgBottom();
    transparentMargins = config->getTransparentMargins();
    imagePath = QVeAnyUtiliy::getResourcePath() + "/pic/";
}
