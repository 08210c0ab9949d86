// Decodes a clip's video with libavcodec and writes each picture's time (seconds from the start, a double)
// and its signature, in presentation order: the reference that shown pictures are identified against.
// Usage: bench_signatures <clip> <output file>
#include "libavfile.h"
#include "picturesignature.h"

#include <cstdio>

extern "C" {
#include <libavutil/pixdesc.h>
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_signatures <clip> <output file>\n");
        return 2;
    }
    av_log_set_level(AV_LOG_ERROR);
    LibavFile file;
    if (!file.open(argv[1], true)) {
        std::fprintf(stderr, "cannot decode %s\n", argv[1]);
        return 1;
    }
    FILE *out = std::fopen(argv[2], "wb");
    if (!out)
        return 1;
    int count = 0;
    while (file.nextPicture()) {
        const AVFrame *picture = file.picture();
        const int depth = av_pix_fmt_desc_get(AVPixelFormat(picture->format))->comp[0].depth;
        const benchsig::Signature signature = benchsig::compute(picture->data[0], picture->linesize[0], picture->width,
                                                                picture->height, depth > 8 ? 2 : 1, depth - 8);
        const double time = file.pictureTime();
        std::fwrite(&time, sizeof time, 1, out);
        std::fwrite(signature.data(), signature.size(), 1, out);
        ++count;
    }
    std::fclose(out);
    return count > 0 ? 0 : 1;
}
