#include "codec/callbackslot.h"

namespace rq {

void CallbackSlot::set(CodecFrameCallback callback, void *context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_callback = callback;
    m_context = context;
}

namespace {
thread_local bool t_inside = false;
}

void CallbackSlot::invoke(void *frame)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_callback)
        return;
    t_inside = true;
    m_callback(m_context, frame);
    t_inside = false;
}

bool CallbackSlot::insideCallback()
{
    return t_inside;
}

}
