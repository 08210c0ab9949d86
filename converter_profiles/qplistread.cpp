#include "converter_profiles/qplistread.h"

#include "services/zrpropertylist.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

const char *const AutoText = "Auto";

// Lookups on a node of the wrong type, or on none, give nothing.
plist_t dictItem(plist_t dict, const std::string &key)
{
    if (!dict || plist_get_node_type(dict) != PLIST_DICT)
        return nullptr;
    return plist_dict_get_item(dict, key.c_str());
}

uint32_t arraySize(plist_t array)
{
    if (!array || plist_get_node_type(array) != PLIST_ARRAY)
        return 0;
    return plist_array_get_size(array);
}

std::string stringOf(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::string();
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, length) : std::string();
}

// XML or binary; anything else, or a root that is not a dictionary, gives no catalogue.
plist_t loadCatalogue(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return nullptr;
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    plist_t root = ZrPropertyList::fromMemory(data.data(), data.size());
    if (root && plist_get_node_type(root) != PLIST_DICT) {
        plist_free(root);
        return nullptr;
    }
    return root;
}

// Walks the parameter entries of one encoder, listing their values under key; the entry chosen
// is the last whose value is wanted, else the first of the encoder.
plist_t chooseParams(plist_t params, const std::string &encoder, const char *key, const std::string &wanted,
                     std::vector<std::string> &list)
{
    plist_t first = nullptr;
    plist_t chosen = nullptr;
    for (uint32_t i = 0; i < arraySize(params); ++i) {
        plist_t entry = plist_array_get_item(params, i);
        std::string code = getDictValue(entry, "fourcc");
        if (trim(code) != encoder)
            continue;
        const std::string value = getDictValue(entry, key);
        list.push_back(value);
        if (!first)
            first = entry;
        if (value == wanted)
            chosen = entry;
    }
    return chosen ? chosen : first;
}

void splitText(const std::string &text, const std::string *unit, std::vector<std::string> &list)
{
    std::string::size_type start = 0;
    while (start <= text.size()) {
        std::string::size_type end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        std::string piece = text.substr(start, end - start);
        trim(piece);
        if (piece == "0")
            list.push_back(AutoText);
        else if (!piece.empty())
            list.push_back(unit ? piece + *unit : piece);
        start = end + 1;
    }
}

}

QPlistRead *QPlistRead::m_self = nullptr;

std::string &trim(std::string &text)
{
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string getDictValue(plist_t dict, std::string key)
{
    if (key.empty())
        key = "supports";
    if (!dict || plist_get_node_type(dict) != PLIST_DICT || plist_dict_get_size(dict) == 0)
        return std::string();
    return stringOf(plist_dict_get_item(dict, key.c_str()));
}

QPlistRead::QPlistRead(std::string path)
    : m_path(std::move(path)), m_catalogue(loadCatalogue(m_path))
{
}

QPlistRead *QPlistRead::getPlistRead(std::string path)
{
    if (!m_self)
        m_self = new QPlistRead(std::move(path));
    return m_self;
}

QPlistRead *QPlistRead::getPlistRead1(char const *, long long)
{
    return getPlistRead(std::string());
}

std::vector<std::string> QPlistRead::getCategories()
{
    m_categories.clear();
    plist_t names = dictItem(m_catalogue.get(), "Categories");
    for (uint32_t i = 0; i < arraySize(names); ++i)
        m_categories.push_back(stringOf(plist_array_get_item(names, i)));
    return m_categories;
}

std::vector<std::unique_ptr<CategoryInfo>> *QPlistRead::getCategoriesInfoList(std::string category)
{
    if (category.empty())
        return nullptr;
    m_categoryList.reset();
    plist_t formats = dictItem(m_catalogue.get(), category);
    for (uint32_t i = 0; i < arraySize(formats); ++i) {
        plist_t base = dictItem(plist_array_get_item(formats, i), "baseinfo");
        std::unique_ptr<CategoryInfo> info(new CategoryInfo{getDictValue(base, "title"), getDictValue(base, "id"),
                                                            getDictValue(base, "ext"), category,
                                                            getDictValue(base, "icon")});
        if (!m_categoryList)
            m_categoryList.reset(new std::vector<std::unique_ptr<CategoryInfo>>);
        m_categoryList->push_back(std::move(info));
    }
    return m_categoryList.get();
}

plist_t QPlistRead::findFormat(const std::string &category, const std::string &formatId) const
{
    plist_t formats = dictItem(m_catalogue.get(), category);
    for (uint32_t i = 0; i < arraySize(formats); ++i) {
        plist_t format = plist_array_get_item(formats, i);
        if (getDictValue(dictItem(format, "baseinfo"), "id") == formatId)
            return format;
    }
    return nullptr;
}

FormatAllInfo *QPlistRead::GetFormatInfoForPlist(std::string category, std::string formatId, std::string videoEncoder,
                                                 std::string resolution, std::string audioEncoder, std::string channel)
{
    m_formatInfo.reset(new FormatAllInfo);
    if (formatId.empty() || category.empty())
        return nullptr;
    for (std::string *choice : {&videoEncoder, &resolution, &audioEncoder, &channel}) {
        if (*choice == AutoText)
            choice->clear();
    }

    FormatAllInfo &info = *m_formatInfo;
    if (plist_t format = findFormat(category, formatId)) {
        plist_t base = dictItem(format, "baseinfo");
        info.extension = getDictValue(base, "ext");
        info.bAuto = getDictValue(base, "auto") == "1";
        const auto seed = [&info](std::vector<std::string> &list) {
            if (info.bAuto)
                list.push_back(AutoText);
        };
        // The encoders a dictionary supports; an empty choice becomes its default.
        const auto encoders = [&seed](plist_t dict, std::vector<std::string> &list, std::string &choice) {
            seed(list);
            analysisTextInfo(getDictValue(dict, "supports"), list);
            if (choice.empty()) {
                choice = getDictValue(dict, "default");
                trim(choice);
            }
        };
        // The values a dictionary supports, with unit; answers its default with unit.
        const auto values = [&seed](plist_t dict, const std::string &unit, std::vector<std::string> &list) {
            seed(list);
            analysisTextInfo(getDictValue(dict, "supports"), unit, list);
            return getDictValue(dict, "default") + unit;
        };

        std::string filter;
        plist_t videoEncoders = dictItem(format, "videoencoders");
        info.bOnlyAudio = !videoEncoders || plist_get_node_type(videoEncoders) != PLIST_DICT
                          || plist_dict_get_size(videoEncoders) == 0;
        if (!info.bOnlyAudio) {
            encoders(videoEncoders, info.videoEncoders, videoEncoder);
            info.videoEncoder = videoEncoder;
            filter = getDictValue(videoEncoders, "filter");
            if (resolution.empty())
                resolution = getDictValue(dictItem(format, "resolution"), "default");
            info.resolution = resolution;

            seed(info.resolutions);
            if (plist_t params = chooseParams(dictItem(format, "videoparams"), videoEncoder, "resolution", resolution,
                                              info.resolutions)) {
                info.resolution = getDictValue(params, "resolution");
                plist_t bitRate = dictItem(params, "videobitrate");
                info.videoBitRateDefault = values(bitRate, " kbps", info.videoBitRates);
                info.videoBitRateLow = getDictValue(bitRate, "low") + " kbps";
                info.videoBitRateHigh = getDictValue(bitRate, "high") + " kbps";
                info.frameRateDefault = values(dictItem(params, "framerate"), " fps", info.frameRates);
            }
        }

        if (filter.empty()) {
            encoders(dictItem(format, "audioencoders"), info.audioEncoders, audioEncoder);
        } else {
            analysisFilter(filter, info.videoEncoder, info.audioEncoders);
            if (audioEncoder.empty() && !info.audioEncoders.empty()) {
                audioEncoder = info.audioEncoders.front();
                trim(audioEncoder);
            }
        }
        info.audioEncoder = audioEncoder;

        if (channel.empty())
            channel = getDictValue(dictItem(format, "channels"), "default");
        seed(info.channels);
        if (plist_t params = chooseParams(dictItem(format, "audioparams"), audioEncoder, "channel", channel,
                                          info.channels)) {
            info.channel = getDictValue(params, "channel");
            plist_t bitRate = dictItem(params, "audiobitrate");
            info.audioBitRateDefault = values(bitRate, " kbps", info.audioBitRates);
            const std::string low = getDictValue(bitRate, "low");
            const std::string high = getDictValue(bitRate, "high");
            info.audioBitRateLow = low.empty() ? info.audioBitRateDefault : low + " kbps";
            info.audioBitRateHigh = high.empty() ? info.audioBitRateDefault : high + " kbps";
            info.sampleRateDefault = values(dictItem(params, "samplerate"), " HZ", info.sampleRates);
        }
    }
    info.category = category;
    info.formatId = formatId;
    return m_formatInfo.get();
}

std::string QPlistRead::getFormatInfoForKey(std::string category, std::string formatId, std::string key)
{
    if (formatId.empty() || category.empty())
        return std::string();
    return getDictValue(dictItem(findFormat(category, formatId), "baseinfo"), key);
}

std::string QPlistRead::getCodecsForKey(std::string code)
{
    if (code == AutoText || code.empty())
        return code;
    // Codes are four characters wide.
    if (code.size() == 3)
        code += ' ';
    const std::string name = getDictValue(dictItem(m_catalogue.get(), "Codecs"), code);
    return name.empty() ? code : name;
}

void QPlistRead::analysisTextInfo(std::string text, std::vector<std::string> &list)
{
    splitText(text, nullptr, list);
}

void QPlistRead::analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list)
{
    splitText(text, &unit, list);
}

void QPlistRead::analysisFilter(std::string filter, std::string videoEncoder, std::vector<std::string> &list)
{
    if (filter.empty() || videoEncoder.empty())
        return;
    std::string audio;
    const std::string::size_type found = filter.find(videoEncoder);
    // The character after the code is a separator; a code that ends the text lists nothing.
    const std::string::size_type start = found == std::string::npos ? found : found + videoEncoder.size() + 1;
    if (start < filter.size())
        audio = filter.substr(start, filter.find('|', start) - start);
    analysisTextInfo(audio, list);
}
