#ifndef RQ_PLAYERHANDLES_H
#define RQ_PLAYERHANDLES_H

#include "codec/handletable.h"
#include "codec/player.h"

namespace rq {

// The players behind the handles of the C interface.
HandleTable<Player> &playerHandles();

// Runs f on the handle's player, which stays alive for the call even if another thread destroys the handle;
// an unknown handle gives none, and so does a failure (no memory), which never leaves through the C interface.
template <typename R, typename F>
R withPlayer(uint64_t handle, R none, F f)
{
    try {
        const std::shared_ptr<Player> player = handle ? playerHandles().find(handle) : nullptr;
        return player ? f(*player) : none;
    } catch (const std::exception &) {
        return none;
    }
}

}

#endif
