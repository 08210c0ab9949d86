#ifndef RQ_MEDIACLOCK_H
#define RQ_MEDIACLOCK_H

#include <chrono>
#include <mutex>

namespace rq {

// The playback position in seconds: set from the audio device as it plays (or from the wall clock for media
// without sound), running on at the playback speed between the updates, frozen while paused.
class MediaClock
{
public:
    using Clock = std::chrono::steady_clock;

    void set(double pts, Clock::time_point at);
    void set(double pts) { set(pts, Clock::now()); }
    // speed: media seconds per second of wall time.
    void set(double pts, Clock::time_point at, double speed);
    double now() const;
    // Pausing also ends a hold.
    void setPaused(bool paused);
    // Unpauses the clock but keeps it still until start() lets it run from a position.
    void resumeHeld();
    // Ends a hold: the clock runs from pts, now. Does nothing when not held or paused; true when it started.
    bool start(double pts);
    bool held() const;
    void setSpeed(double speed);
    double speed() const;

private:
    mutable std::mutex m_mutex;
    double m_pts = 0;
    Clock::time_point m_anchor = Clock::now();
    bool m_paused = true;
    bool m_held = false;
    double m_speed = 1;
};

}

#endif
