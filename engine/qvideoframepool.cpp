#include "engine/qvideoframepool.h"

#include <new>

struct QVideoFramePool::Store
{
    std::mutex lock;
    size_t size = 0;
    int allocated = 0;
    std::vector<std::unique_ptr<unsigned char[]>> idle;
};

QVideoFramePool::Release::Release(std::shared_ptr<Store> store, size_t size)
    : mStore(std::move(store)), mSize(size)
{
}

void QVideoFramePool::Release::operator()(unsigned char *data) const
{
    std::unique_ptr<unsigned char[]> buffer(data);
    if (!mStore || !buffer)
        return;
    std::lock_guard<std::mutex> guard(mStore->lock);
    if (mStore->size == mSize)
        mStore->idle.push_back(std::move(buffer));
}

QVideoFramePool::QVideoFramePool()
    : mStore(std::make_shared<Store>())
{
}

QVideoFramePool::Buffer QVideoFramePool::take(size_t size)
{
    std::unique_ptr<unsigned char[]> buffer;
    {
        std::lock_guard<std::mutex> guard(mStore->lock);
        if (mStore->size != size) {
            mStore->idle.clear();
            mStore->size = size;
            mStore->allocated = 0;
        }
        if (!mStore->idle.empty()) {
            buffer = std::move(mStore->idle.back());
            mStore->idle.pop_back();
        } else {
            buffer.reset(new (std::nothrow) unsigned char[size]);
            if (buffer)
                ++mStore->allocated;
        }
    }
    if (!buffer)
        return Buffer();
    return Buffer(buffer.release(), Release(mStore, size));
}

int QVideoFramePool::allocated() const
{
    std::lock_guard<std::mutex> guard(mStore->lock);
    return mStore->allocated;
}
