#ifndef RQ_SUBTITLEFILE_H
#define RQ_SUBTITLEFILE_H

#include "codec/subtitlerenderer.h"

#include <string>

namespace rq {

// Reads a whole subtitle file of any kind FFmpeg knows (ASS, SSA, SubRip, WebVTT, VobSub, MicroDVD, SAMI, PGS,
// LRC, ...) into the renderer as one source. Text that is not UTF-8 (UTF-16 with a byte order mark is read as
// such) is converted from the encoding uchardet finds in the file (Windows-1252, Latin-1, Windows-1251, GBK...).
// A file that does not parse, holds no events or holds text no encoding explains loads nothing.
class SubtitleFile
{
public:
    static bool load(const std::string &path, SubtitleRenderer &renderer, int source);

private:
    // 0, AVERROR_INVALIDDATA for text that is not in the charset (empty: UTF-8), or another error.
    static int read(const std::string &path, SubtitleRenderer &renderer, int source, const std::string &charset);
    // The encoding the file's bytes look like, as iconv names it; empty when none fits.
    static std::string detectCharset(const std::string &path);
};

}

#endif
