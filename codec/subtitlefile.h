#ifndef RQ_SUBTITLEFILE_H
#define RQ_SUBTITLEFILE_H

#include "codec/subtitlerenderer.h"

#include <string>

namespace rq {

// Reads a whole subtitle file of any kind FFmpeg knows (ASS, SSA, SubRip, WebVTT, VobSub, MicroDVD, SAMI, PGS,
// LRC, ...) into the renderer as one source. A file that does not parse, holds no events or holds text that is
// not UTF-8 (UTF-16 with a byte order mark is converted) loads nothing.
class SubtitleFile
{
public:
    static bool load(const std::string &path, SubtitleRenderer &renderer, int source);
};

}

#endif
