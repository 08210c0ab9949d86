#ifndef QVIDEOFRAMEPOOL_H
#define QVIDEOFRAMEPOOL_H

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

// Picture buffers of one size, given back when a picture is done with and handed out again, so steady
// play neither allocates nor touches fresh pages. A new size lets the buffers of the old one go.
// Buffers may be taken and returned on any thread, and may outlive the pool.
class QVideoFramePool
{
    struct Store;

public:
    class Release
    {
    public:
        Release() = default;
        Release(std::shared_ptr<Store> store, size_t size);
        void operator()(unsigned char *data) const;

    private:
        std::shared_ptr<Store> mStore;
        size_t mSize = 0;
    };
    using Buffer = std::unique_ptr<unsigned char[], Release>;

    QVideoFramePool();

    // A buffer of size bytes, or null when none can be allocated.
    Buffer take(size_t size);
    // Buffers allocated so far for the current size, in use or waiting.
    int allocated() const;

private:
    std::shared_ptr<Store> mStore;
};

#endif
