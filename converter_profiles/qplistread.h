#ifndef QPLISTREAD_H
#define QPLISTREAD_H

#include "converter_profiles/formatallinfo.h"

#include <plist/plist.h>

#include <memory>
#include <string>
#include <vector>

// One format of a category in the property-list catalogue.
struct CategoryInfo
{
    std::string title;
    std::string id;
    std::string extension;
    std::string category;
    std::string icon;
};

// The property-list form of the format catalogue: categories of formats, each format with its
// encoders and the values they allow, and display names of codec codes. One instance per process,
// loaded once from the path of the first call and never written.
class QPlistRead
{
public:
    static QPlistRead *getPlistRead(std::string path);
    static QPlistRead *getPlistRead1(char const *unused, long long unusedSize);

    std::vector<std::string> getCategories();
    // The formats of a category, owned by this object until the next call; null when there are
    // none. An empty category changes nothing.
    std::vector<std::unique_ptr<CategoryInfo>> *getCategoriesInfoList(std::string category);
    // The values one format allows with the given choice ("Auto" or empty: the format's default),
    // owned by this object until the next call.
    FormatAllInfo *GetFormatInfoForPlist(std::string category, std::string formatId, std::string videoEncoder,
                                         std::string resolution, std::string audioEncoder, std::string channel);
    std::string getFormatInfoForKey(std::string category, std::string formatId, std::string key);
    std::string getCodecsForKey(std::string code);

    // Appends the comma-separated pieces of text, trimmed, "0" read as "Auto", empty ones skipped;
    // the second form appends unit to every piece but "Auto".
    static void analysisTextInfo(std::string text, std::vector<std::string> &list);
    static void analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list);
    // The audio encoders the filter text lists for videoEncoder: "<code>:<a>,<b>|<code>:...".
    static void analysisFilter(std::string filter, std::string videoEncoder, std::vector<std::string> &list);

private:
    explicit QPlistRead(std::string path);
    plist_t findFormat(const std::string &category, const std::string &formatId) const;

    struct PlistFree
    {
        void operator()(plist_t node) const { plist_free(node); }
    };

    std::string m_path;
    std::unique_ptr<std::vector<std::unique_ptr<CategoryInfo>>> m_categoryList;
    std::unique_ptr<FormatAllInfo> m_formatInfo;
    std::vector<std::string> m_categories;
    std::unique_ptr<void, PlistFree> m_catalogue;

    static QPlistRead *m_self;
};

// Removes leading and trailing spaces (" " only) in place.
std::string &trim(std::string &text);
// The text of a string entry of dict; an empty key means "supports". Empty when there is none.
std::string getDictValue(plist_t dict, std::string key);

#endif
