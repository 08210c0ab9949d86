#ifndef RQ_PLAYERCLOSER_H
#define RQ_PLAYERCLOSER_H

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace rq {

class Player;

// Closes and frees players on a thread of its own, for a destroy called from inside a frame callback: the
// thread running the callback cannot stop itself, so the player goes once the callback has returned. One
// for the process, started on first use; at exit it closes what it still holds and is joined.
class PlayerCloser
{
public:
    static PlayerCloser &instance();
    ~PlayerCloser();
    PlayerCloser(const PlayerCloser &) = delete;
    PlayerCloser &operator=(const PlayerCloser &) = delete;

    void closeLater(std::shared_ptr<Player> player);

private:
    PlayerCloser();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_cond;
    std::deque<std::shared_ptr<Player>> m_players;
    bool m_stop = false;
    std::thread m_thread;
};

}

#endif
