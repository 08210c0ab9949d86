#ifndef QGLOBALSHORTCUT_H
#define QGLOBALSHORTCUT_H

#include <QKeySequence>
#include <QList>
#include <QWidget>

// One system-wide hot key: a key combination grabbed on the X server's root window, so that it
// reaches the program while another application has the keyboard. MyHotKeyHandler turns a press of
// a registered combination into activated(). Off X11 nothing registers.
class QGlobalShortCut : public QWidget
{
    Q_OBJECT

public:
    enum ShortCutType { ShortCutNone = 0, ShortCutPause = 1, ShortCutStop = 2, ShortCutScreenshot = 3, ShortCutCut = 4 };

    explicit QGlobalShortCut(QWidget *parent = nullptr);
    // Releases every combination the object still holds.
    ~QGlobalShortCut() override;

    void setIndex(int index);
    int Index() const;
    void setShortcutType(QGlobalShortCut::ShortCutType type);
    QGlobalShortCut::ShortCutType getShortcutType() const;

    void setKeySequence(QKeySequence sequence);
    void setKeyAndModifiers(Qt::Key key, Qt::KeyboardModifiers modifiers);
    void getKeyAndModifiers(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const;
    void setTempKeyAndModifier(Qt::Key key, Qt::KeyboardModifiers modifiers);
    void getTempKeyAndModifier(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const;
    // false: the temporary combination becomes the current one's copy; true: the reverse.
    void saveTempKeyAndModifier(bool save);
    void setDefaulKeyAndModifier(Qt::Key key, Qt::KeyboardModifiers modifiers);
    void getDefaulKeyAndModifier(Qt::Key &key, Qt::KeyboardModifiers &modifiers) const;
    bool compareKey() const;

    // Grabs the current combination. False when its key has no keycode, when this program already
    // holds it, when another X client holds it, or off X11.
    bool registerHotKey();
    // Releases the most recent registration, or the first one of the given combination.
    bool unregisterHotKey();
    bool unregisterHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers);

    void activateShortcut();
    QString getShortCut() const;

    // The X keycode of the key (0 when the key has none, or off X11) and the X modifier mask.
    static quint32 nativeKeycode(Qt::Key key);
    static quint32 nativeModifiers(Qt::KeyboardModifiers modifiers);
    // The object holding the combination of an X keycode and modifier mask, or null.
    static QGlobalShortCut *registeredShortCut(quint32 nativeKey, quint32 nativeMods);

    static QString ModifiersConvertString(Qt::KeyboardModifiers modifiers);
    static QString KeycodeConvertString(Qt::Key key);
    static QString getShortCutString(Qt::Key key, Qt::KeyboardModifiers modifiers);
    // Reads a stored "<modifiers>*<key>" text; false, with the outputs untouched, without a "*".
    static bool analysisKeyAndmodifier(QString text, Qt::Key &key, Qt::KeyboardModifiers &modifiers);

signals:
    void activated();

private:
    struct Registration
    {
        quint32 nativeKey;
        quint32 nativeMods;
    };

    bool release(int registration);

    QKeySequence m_keySequence;
    Qt::Key m_key = Qt::Key_unknown;
    Qt::KeyboardModifiers m_modifiers;
    Qt::Key m_tempKey = Qt::Key_unknown;
    Qt::KeyboardModifiers m_tempModifiers;
    Qt::Key m_defaultKey = Qt::Key_unknown;
    Qt::KeyboardModifiers m_defaultModifiers;
    int m_index = -1;
    ShortCutType m_type = ShortCutNone;
    QList<Registration> m_registrations;
};

#endif
