#include "codec/mediaclock.h"

namespace rq {

void MediaClock::set(double pts, Clock::time_point at)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pts = pts;
    m_anchor = at;
}

void MediaClock::set(double pts, Clock::time_point at, double speed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pts = pts;
    m_anchor = at;
    m_speed = speed;
}

double MediaClock::now() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_paused || m_held)
        return m_pts;
    return m_pts + std::chrono::duration<double>(Clock::now() - m_anchor).count() * m_speed;
}

void MediaClock::setSpeed(double speed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto t = Clock::now();
    if (!m_paused && !m_held)
        m_pts += std::chrono::duration<double>(t - m_anchor).count() * m_speed;
    m_anchor = t;
    m_speed = speed;
}

double MediaClock::speed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_speed;
}

void MediaClock::setPaused(bool paused)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (paused == m_paused)
        return;
    const auto t = Clock::now();
    if (paused && !m_held)
        m_pts += std::chrono::duration<double>(t - m_anchor).count() * m_speed;
    m_anchor = t;
    m_paused = paused;
    if (paused)
        m_held = false;
}

void MediaClock::resumeHeld()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_paused && !m_held)
        m_pts += std::chrono::duration<double>(Clock::now() - m_anchor).count() * m_speed;
    m_anchor = Clock::now();
    m_paused = false;
    m_held = true;
}

bool MediaClock::start(double pts)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_held || m_paused)
        return false;
    m_pts = pts;
    m_anchor = Clock::now();
    m_held = false;
    return true;
}

bool MediaClock::held() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_held;
}

}
