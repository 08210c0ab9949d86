#ifndef RQ_SUBTITLESCANNER_H
#define RQ_SUBTITLESCANNER_H

#include "codec/subtitledecoder.h"
#include "codec/syncstate.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace rq {

// Reads the subtitle stream of a file before a seek target on a handle of its own, so that a line begun before
// the target's keyframe, which the reader starts from, shows with the target's picture. It reads only that
// stream and one other to tell the time by, from kLookBack seconds before the target on, skipping what it has
// read already; its events join those of the stream's source in the renderer. A serial counts as read in the
// sync state once its stretch has been read. The latest target wins.
class SubtitleScanner
{
public:
    // Lines begun longer before the target than this are not looked for.
    static constexpr double kLookBack = 120;

    // stream: the subtitle stream's index; clock: another stream of the file read beside it. startTime: where the
    // medium's time line starts (AV_TIME_BASE units).
    SubtitleScanner(const std::string &path, int stream, int clock, int64_t startTime, SubtitleRenderer &renderer,
                    int source, SyncState &sync, std::function<void(double, double)> changed);
    ~SubtitleScanner();
    SubtitleScanner(const SubtitleScanner &) = delete;
    SubtitleScanner &operator=(const SubtitleScanner &) = delete;

    // The sync state is told at once that the serial waits for the scan.
    void scan(int serial, double target);

private:
    void run();
    bool openInput();
    // Reads on towards target; true when what lies before it is read, or nothing more can be.
    bool advance(double target);
    // The first second at or after from that no reading covered.
    double firstUnread(double from) const;
    void markRead(double from, double to);

    const std::string m_path;
    const int m_stream;
    const int m_clock;
    const double m_origin;
    SyncState &m_sync;
    SubtitleDecoder m_decoder;
    FormatContextPtr m_context;
    PacketPtr m_packet;
    bool m_broken = false;
    // Stretches read, in order and apart; and the one being read on from where the handle stands.
    std::vector<std::pair<double, double>> m_read;
    bool m_reading = false;
    double m_readFrom = 0, m_readTo = 0;

    std::mutex m_mutex;
    std::condition_variable m_cond;
    std::atomic<bool> m_stop{false};
    int m_serial = 0;
    double m_target = 0;
    bool m_done = true;
    std::thread m_thread;
};

}

#endif
