#include "codec/framequeue.h"

namespace rq {

bool FrameQueue::push(Entry entry)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    waitSpaceLocked(lock, entry.serial);
    if (m_aborted)
        return false;
    if (entry.serial != m_serial)
        return true;
    m_bytes += bytesOf(entry);
    m_entries.push_back(std::move(entry));
    ++m_generation;
    m_changeCond.notify_all();
    return true;
}

bool FrameQueue::waitForSpace(int serial)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    waitSpaceLocked(lock, serial);
    return !m_aborted;
}

void FrameQueue::waitSpaceLocked(std::unique_lock<std::mutex> &lock, int serial)
{
    m_spaceCond.wait(lock, [&] { return m_aborted || serial != m_serial || !fullLocked(); });
}

bool FrameQueue::pop(Entry &entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_entries.empty() && takeFront(entry);
}

bool FrameQueue::pop(Entry &entry, int serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_entries.empty() && m_entries.front().serial == serial && takeFront(entry);
}

bool FrameQueue::fullLocked() const
{
    return int(m_entries.size()) >= m_capacity || (m_mostBytes && m_bytes >= m_mostBytes);
}

size_t FrameQueue::bytesOf(const Entry &entry)
{
    size_t bytes = 0;
    if (entry.frame)
        for (const AVBufferRef *buf : entry.frame->buf)
            bytes += buf ? buf->size : 0;
    return bytes;
}

bool FrameQueue::takeFront(Entry &entry)
{
    entry = std::move(m_entries.front());
    m_bytes -= bytesOf(entry);
    m_entries.pop_front();
    m_spaceCond.notify_all();
    return true;
}

bool FrameQueue::front(Entry &info) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_entries.empty())
        return false;
    const Entry &e = m_entries.front();
    info.frame.reset();
    info.serial = e.serial;
    info.pts = e.pts;
    info.duration = e.duration;
    info.consumed = e.consumed;
    info.end = e.end;
    return true;
}

int FrameQueue::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_entries.size());
}

void FrameQueue::flush(int serial)
{
    std::deque<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropped.swap(m_entries);
        m_bytes = 0;
        m_serial = serial;
        ++m_generation;
    }
    m_spaceCond.notify_all();
    m_changeCond.notify_all();
}

void FrameQueue::abort()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aborted = true;
        ++m_generation;
    }
    m_spaceCond.notify_all();
    m_changeCond.notify_all();
}

void FrameQueue::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
    }
    m_changeCond.notify_all();
}

uint64_t FrameQueue::generation() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

bool FrameQueue::waitFilled(int serial, Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changeCond.wait_until(lock, deadline, [&] {
        return m_aborted || m_serial != serial || fullLocked() || (!m_entries.empty() && m_entries.back().end);
    });
}

void FrameQueue::waitChange(uint64_t seen, Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changeCond.wait_until(lock, deadline, [&] { return m_aborted || m_generation != seen; });
}

void FrameQueue::waitChange(uint64_t seen)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changeCond.wait(lock, [&] { return m_aborted || m_generation != seen; });
}

}
