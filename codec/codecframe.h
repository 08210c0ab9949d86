#ifndef RQ_CODECFRAME_H
#define RQ_CODECFRAME_H

#include <cstdint>

namespace rq {

// The picture a frame callback gets, behind the opaque frame pointer of the C interface.
struct CodecFrame {
    enum Format { Yuv420 = 0, Bgra = 30 };
    int format = Yuv420;
    int width = 0;
    int height = 0;
    uint8_t *planes[4] = {};
    int lineSizes[4] = {};
};

}

#endif
