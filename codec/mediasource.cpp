#include "codec/mediasource.h"

namespace rq {

MediaSource MediaSource::fromPath(const std::string &path)
{
    MediaSource source;
    source.m_path = path;
    return source;
}

MediaSource MediaSource::fromIO(IOContextPtr io, std::shared_ptr<void> owner, const std::string &formatName,
                                int64_t durationHint)
{
    MediaSource source;
    source.m_io = std::move(io);
    source.m_owner = std::move(owner);
    source.m_formatName = formatName;
    source.m_durationHint = durationHint;
    return source;
}

}
