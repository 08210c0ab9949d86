#ifndef ZRAPPLICATIONLOOK_H
#define ZRAPPLICATIONLOOK_H

// What the skins leave to the platform: the dark house palette for the message box text, Qt's own
// file and colour dialogs, menus and tool tips, and the interface font. The font families the forms
// name ("Tahoma", "helvetica neue") are not on Linux; they resolve to one of the same width class
// that the setup installs, so the texts fit the controls sized for them.
class ZrApplicationLook
{
public:
    static void install();
};

#endif
