#include "codec/playercloser.h"

#include "codec/player.h"

namespace rq {

PlayerCloser &PlayerCloser::instance()
{
    static PlayerCloser closer;
    return closer;
}

PlayerCloser::PlayerCloser() : m_thread(&PlayerCloser::run, this)
{
}

PlayerCloser::~PlayerCloser()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_cond.notify_all();
    m_thread.join();
}

void PlayerCloser::closeLater(std::shared_ptr<Player> player)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_players.push_back(std::move(player));
    }
    m_cond.notify_all();
}

void PlayerCloser::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_cond.wait(lock, [this] { return m_stop || !m_players.empty(); });
        if (m_players.empty())
            return;
        std::shared_ptr<Player> player = std::move(m_players.front());
        m_players.pop_front();
        lock.unlock();
        // Waits for the callback that asked to return, then for the player's threads. Nothing may leave the
        // thread.
        try {
            player->close();
            player.reset();
        } catch (const std::exception &) {
        }
        lock.lock();
    }
}

}
