#ifndef QVIDEOSETTINGXML_H
#define QVIDEOSETTINGXML_H

#include "converter_profiles/convertedinfo.h"
#include "converter_profiles/fileformatinfo.h"
#include "converter_profiles/formatallinfo.h"
#include "converter_profiles/qualityset.h"

#include <QDomDocument>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// The converter's profile files: the read-only format catalogue "VideoSetting.xml" in the resource
// folder and the user's settings and history in the application-data folder. Nothing is kept in
// memory but the records the getters hand out; each stays valid until the same getter runs again.
// A file that does not load is never repaired: readers answer their default, writers do nothing.
class QVideoSettingXml
{
public:
    QVideoSettingXml() {}

    // True when the file opens and parses into doc.
    static bool isValidFile(QString path, QDomDocument &doc);
    // Replaces the file with doc atomically; a document that is not well-formed XML is refused.
    static void SaveXml(QString path, QDomDocument doc);

    // Format catalogue.
    static FormatAllInfo *GetFormatAllInfo(QString format);
    static FileFormatInfo *GetFormatInfo(QString format);
    static void analysisTextInfo(std::string text, std::vector<std::string> &list);
    static void analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list);
    static std::string &trim(std::string &text);

    // Quality presets of the catalogue and the user's default per format.
    static QualitySet *GetQuality(QString quality, QString format);
    static QString addUnit(QString value, QString key);
    static QualitySet *GetDefaultFormat(QString formatId, QualitySet *unused);
    static void SetDefaultFormat(QString formatId, QualitySet *set);
    static void SetDefaultFormatValue(QString formatId, QString name, QString value);
    static QString GetDefaultFormatValue(QString formatId, QString name);

    // "VideoDefaultSetting.xml"
    static QString getCaptureImgSuffix();
    static void setCaptureImgSuffix(QString suffix);
    static QString getCaptrueImaSavePath();
    static void setCaptrueImaPath(QString path);
    static QString GetItemValue(QString item, QString key, QString defaultValue);
    static void SetItemValue(QString item, QString key, QString value);

    // "History.xml"
    static void SetConvertedPath(QString path);
    static QStringList GetConvertedPath();
    static void DeleteConvertedPath(QStringList paths);
    static void SaveConvertedInfo(convertedInfo *info);
    static convertedInfo *GetConvertedInfo(QString path);
    static void removeConvertedInfo(QString path);
    static void changeConvertedInfoPath(QString oldPath, QString newPath);
    static void changeConvertedInfoValue(QString path, QString name, QString value);
    static QString getPreferencePath(QString path);
    static void analysisConvertedInfo(QList<convertedInfo *> *list);

    // "ConvertedMd5.xml"
    static void SaveConvertedPathMd5(QString md5);
    static QString getConvertedPathMd5();

    // A language list at a path the caller gives.
    static QStringList GetLanguage(QString path);
    static QPair<QString, QString> GetLanguageFile(QString path, QString name);

private:
    static std::unique_ptr<FormatAllInfo> m_formatInfo;
    static std::unique_ptr<FileFormatInfo> m_fileFormatInfo;
    static std::unique_ptr<QualitySet> m_highQualitySet;
    static std::unique_ptr<QualitySet> m_defaultQualitySet;
    static std::unique_ptr<convertedInfo> m_convertInfo;
};

#endif
