#ifndef QPROJECTCONFIG_H
#define QPROJECTCONFIG_H

#include <QFont>
#include <QMargins>
#include <QString>

#include <memory>

// Process-wide project names, dialog band heights, transparent margins and font
// that the toolkit reads as its defaults.
class QProjectConfig
{
public:
    // The one instance, made with the defaults on first use.
    static QProjectConfig *getProjectConfig();
    // Drops the instance; the next getProjectConfig() starts from the defaults again.
    static void releaseProjectConfig();

    QString companyName() const;
    void setCompanyName(QString name);
    QString projectName() const;
    void setProjectName(QString name);
    QString projectShortName() const;
    void setProjectShortName(QString name);
    QString projectVersionName() const;
    void setProjectVersionName(QString name);

    QMargins getTransparentMargins() const;
    void setTransparentMargins(int margin);
    void setTransparentMargins(int left, int top, int right, int bottom);
    void setTransparentMargins(const QMargins &margins);

    void setDlgTopAndBottom(int top, int bottom);
    int dlgTop() const;
    int dlgBottom() const;

    void setFont(QFont font);
    QFont font() const;

private:
    QProjectConfig();
    ~QProjectConfig();
    Q_DISABLE_COPY(QProjectConfig)

    struct Private;
    std::unique_ptr<Private> d;

    static QProjectConfig *s_instance;
};

#endif
