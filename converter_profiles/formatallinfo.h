#ifndef FORMATALLINFO_H
#define FORMATALLINFO_H

#include <string>
#include <vector>

// Everything a format allows, as display texts. The XML catalogue fills the flag and the eight
// lists; the property-list catalogue also fills the texts after them and the trailing flag.
struct FormatAllInfo
{
    bool bOnlyAudio = false;

    std::vector<std::string> videoEncoders;
    std::vector<std::string> resolutions;
    std::vector<std::string> frameRates;
    std::vector<std::string> videoBitRates;
    std::vector<std::string> audioEncoders;
    std::vector<std::string> channels;
    std::vector<std::string> sampleRates;
    std::vector<std::string> audioBitRates;

    std::string extension;
    std::string category;
    std::string formatId;
    std::string videoEncoder;
    std::string resolution;
    std::string videoBitRateLow;
    std::string videoBitRateHigh;
    std::string videoBitRateDefault;
    std::string frameRateDefault;
    std::string audioEncoder;
    std::string channel;
    std::string audioBitRateLow;
    std::string audioBitRateHigh;
    std::string audioBitRateDefault;
    std::string sampleRateDefault;
    bool bAuto = false;
};

#endif
