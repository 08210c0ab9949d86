// The C entry points of the global set-up.
#include "codec/rqcodec.h"
#include "codec/globaloptions.h"

extern "C" {
#include <libavutil/log.h>
}

void codecSetGlobalOption(int option, int64_t value)
{
    rq::GlobalOptions::instance().setOption(option, value);
}

int codecGlobalInit(int flags)
{
    if (flags)
        av_log_set_level(AV_LOG_QUIET);
    return 1;
}

void codecSetWorkDirectory(const char *path)
{
    rq::GlobalOptions::instance().setWorkDirectory(path ? path : "");
}

void codecSetGlobalIntList(const int *values, int count)
{
    std::vector<int> formats;
    for (int i = 0; values && i < count; ++i)
        formats.push_back(values[i]);
    rq::GlobalOptions::instance().setFrameFormats(formats);
}
