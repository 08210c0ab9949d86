#ifndef RQ_HANDLETABLE_H
#define RQ_HANDLETABLE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace rq {

// Maps the opaque 64-bit handles of the C interface to objects. A stale or made-up handle finds
// nothing, and a caller holding the shared pointer keeps the object alive through a concurrent destroy.
template <typename T>
class HandleTable {
public:
    uint64_t add(std::shared_ptr<T> object)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const uint64_t handle = m_next++;
        m_objects.emplace(handle, std::move(object));
        return handle;
    }

    std::shared_ptr<T> find(uint64_t handle) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_objects.find(handle);
        return it == m_objects.end() ? nullptr : it->second;
    }

    std::shared_ptr<T> remove(uint64_t handle)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_objects.find(handle);
        if (it == m_objects.end())
            return nullptr;
        std::shared_ptr<T> object = std::move(it->second);
        m_objects.erase(it);
        return object;
    }

private:
    mutable std::mutex m_mutex;
    std::unordered_map<uint64_t, std::shared_ptr<T>> m_objects;
    uint64_t m_next = 1;
};

}

#endif
