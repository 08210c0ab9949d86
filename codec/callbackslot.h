#ifndef RQ_CALLBACKSLOT_H
#define RQ_CALLBACKSLOT_H

#include "codec/rqcodec.h"

#include <mutex>

namespace rq {

// The frame callback of a player. Replacing it waits for a running call to return, so that the old callback
// is never called after set() has returned.
class CallbackSlot
{
public:
    void set(CodecFrameCallback callback, void *context);
    void invoke(void *frame);
    // True on a thread while it runs a frame callback of any player.
    static bool insideCallback();

private:
    std::recursive_mutex m_mutex;
    CodecFrameCallback m_callback = nullptr;
    void *m_context = nullptr;
};

}

#endif
