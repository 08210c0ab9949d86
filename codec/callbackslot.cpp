#include "codec/callbackslot.h"

namespace rq {

void CallbackSlot::set(CodecFrameCallback callback, void *context)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_callback = callback;
    m_context = context;
}

bool CallbackSlot::isSet() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_callback != nullptr;
}

void CallbackSlot::invoke(void *frame)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_callback)
        m_callback(m_context, frame);
}

}
