#include "support/zrsegmentedbody.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

ZrSegmentedBody::ZrSegmentedBody(const Segments &segments, QObject *parent)
    : QIODevice(parent), m_segments(segments), m_size(lengthOf(segments))
{
}

qint64 ZrSegmentedBody::lengthOf(const Segments &segments)
{
    qint64 length = 0;
    for (const Segment &segment : segments)
        length += segment.length;
    return length;
}

bool ZrSegmentedBody::open(OpenMode mode)
{
    if (mode & WriteOnly)
        return false;
    m_index = 0;
    m_offset = 0;
    return QIODevice::open(mode | Unbuffered);
}

bool ZrSegmentedBody::seek(qint64 pos)
{
    if (pos < 0 || pos > m_size || !QIODevice::seek(pos))
        return false;
    m_index = 0;
    m_offset = pos;
    while (m_index < m_segments.size() && m_offset >= m_segments.at(m_index).length) {
        m_offset -= m_segments.at(m_index).length;
        ++m_index;
    }
    return true;
}

qint64 ZrSegmentedBody::readData(char *data, qint64 maxSize)
{
    qint64 done = 0;
    while (done < maxSize && m_index < m_segments.size()) {
        const Segment &segment = m_segments.at(m_index);
        const qint64 wanted = qMin(maxSize - done, segment.length - m_offset);
        if (!segment.file) {
            std::memcpy(data + done, segment.data.constData() + m_offset, static_cast<size_t>(wanted));
            done += wanted;
            m_offset += wanted;
        } else {
            const ssize_t read = ::pread(segment.file->handle(), data + done, static_cast<size_t>(wanted), m_offset);
            if (read < 0 && errno == EINTR)
                continue;
            // A file that shrank since it was measured would leave the body short of its length.
            if (read <= 0) {
                setErrorString(read < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                        : QString("%1 ended early").arg(segment.file->fileName()));
                return -1;
            }
            done += read;
            m_offset += read;
        }
        if (m_offset == segment.length) {
            ++m_index;
            m_offset = 0;
        }
    }
    return done;
}
