#ifndef RQ_MEDIASOURCE_H
#define RQ_MEDIASOURCE_H

#include "codec/ffptr.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rq {

// What a player or a probe opens: a path, or bytes read through a custom AVIOContext.
// A disc title is fed as an AVIOContext whose read (and seek) callbacks walk the title's cells, with the
// demuxer named ("mpeg" for VOBs) and the title's length as the duration hint; `owner` keeps the reader
// behind the context's opaque pointer alive until the input is closed. Player::open takes either kind.
class MediaSource
{
public:
    static MediaSource fromPath(const std::string &path);
    static MediaSource fromIO(IOContextPtr io, std::shared_ptr<void> owner, const std::string &formatName,
                              int64_t durationHint);

    bool isCustomIO() const { return bool(m_io); }
    const std::string &path() const { return m_path; }
    const std::string &formatName() const { return m_formatName; }
    int64_t durationHint() const { return m_durationHint; }
    IOContextPtr takeIO() { return std::move(m_io); }
    std::shared_ptr<void> owner() const { return m_owner; }

private:
    std::string m_path;
    IOContextPtr m_io;
    std::shared_ptr<void> m_owner;
    std::string m_formatName;
    int64_t m_durationHint = 0;  // microseconds, 0 when the container must say
};

}

#endif
