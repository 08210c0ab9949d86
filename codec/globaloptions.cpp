#include "codec/globaloptions.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace rq {

GlobalOptions &GlobalOptions::instance()
{
    static GlobalOptions options;
    return options;
}

void GlobalOptions::setOption(int option, int64_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    switch (option) {
    case 1:
        m_decoderThreads = int(std::clamp<int64_t>(value, 0, 64));
        break;
    case 3:
        m_deinterlace = int(std::clamp<int64_t>(value, 0, 2));
        break;
    case 7:
        if (value > 0)
            m_readAhead = value;
        break;
    default:
        break;
    }
}

int GlobalOptions::decoderThreads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Threads for a decoder; 0: one a core.
    if (m_decoderThreads == 0)
        return 1;
    return m_decoderThreads == 1 ? 0 : m_decoderThreads;
}

int64_t GlobalOptions::readAheadMicros() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_readAhead;
}

int GlobalOptions::deinterlaceMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deinterlace;
}

void GlobalOptions::setWorkDirectory(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_workDirectory = path;
}

std::string GlobalOptions::workDirectory() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_workDirectory;
}

void GlobalOptions::setFrameFormats(const std::vector<int> &formats)
{
    std::vector<int> accepted;
    for (int f : formats)
        if (f == 0 || f == 30)
            accepted.push_back(f);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frameFormats = accepted.empty() ? std::vector<int>{0, 30} : accepted;
}

std::vector<int> GlobalOptions::frameFormats() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frameFormats;
}

bool GlobalOptions::acquireAudio()
{
    std::lock_guard<std::mutex> lock(m_audioMutex);
    if (m_audioUsers == 0) {
        const char *mode = std::getenv("ZR_AUDIO");
        if ((mode && std::strcmp(mode, "null") == 0) || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
    }
    ++m_audioUsers;
    return true;
}

void GlobalOptions::releaseAudio()
{
    std::lock_guard<std::mutex> lock(m_audioMutex);
    if (m_audioUsers > 0 && --m_audioUsers == 0)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}
