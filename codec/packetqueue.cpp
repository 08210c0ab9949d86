#include "codec/packetqueue.h"

#include <algorithm>

namespace rq {

void PacketQueue::put(PacketPtr packet, int serial)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_aborted || serial != m_serial)
            return;
        if (packet) {
            m_bytes += packet->size;
            m_duration += packet->duration;
        }
        m_entries.push_back({std::move(packet), serial});
    }
    m_cond.notify_one();
}

void PacketQueue::putEnd(int serial)
{
    put(PacketPtr(), serial);
}

bool PacketQueue::get(Entry &entry)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cond.wait(lock, [this] { return m_aborted || !m_entries.empty(); });
        if (m_aborted)
            return false;
        entry = std::move(m_entries.front());
        m_entries.pop_front();
        if (entry.packet) {
            m_bytes -= entry.packet->size;
            m_duration -= entry.packet->duration;
        }
    }
    if (m_taken)
        m_taken->notify();
    return true;
}

void PacketQueue::flush(int serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    m_bytes = 0;
    m_duration = 0;
    m_serial = serial;
}

void PacketQueue::abort()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aborted = true;
    }
    m_cond.notify_all();
}

int PacketQueue::count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_entries.size());
}

int64_t PacketQueue::bytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

int64_t PacketQueue::duration() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Some demuxers (MPEG-TS video) leave packet durations at 0: the span of decode times says it then.
    int64_t span = 0;
    if (m_entries.size() > 1 && m_entries.front().packet && m_entries.back().packet) {
        const int64_t first = m_entries.front().packet->dts, last = m_entries.back().packet->dts;
        if (first != AV_NOPTS_VALUE && last != AV_NOPTS_VALUE && last > first)
            span = last - first;
    }
    return std::max(m_duration, span);
}

}
