#ifndef QZRPROJECTPLATFORM_H
#define QZRPROJECTPLATFORM_H

#include <QString>

// The program's ties to its maker: the update check and the maker's web pages.
class QZRProjectPlatform
{
public:
    QZRProjectPlatform() {}

    // Checks for a newer version now and tells the user the result.
    static void checkForUpdate();
    // Turns the silent daily check on (checking at once) or off.
    static void setAutoCheckUpdate(bool automatic);

    // Opens the maker's redirect page of the given type ("help" or "home") in the browser.
    static void openWebPage(const QString &pageType);
    // The maker's home page, which the About box links to.
    static QString homePage();
};

#endif
