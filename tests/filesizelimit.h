#ifndef FILESIZELIMIT_H
#define FILESIZELIMIT_H

#include <csignal>
#include <sys/resource.h>

// While it lives, writes that would take a file past the limit fail with EFBIG, as they would on a
// full disk (SIGXFSZ is ignored meanwhile); the old limit and handler come back when it goes.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_original);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_original;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_original);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return m_active; }

private:
    struct rlimit m_original;
    void (*m_handler)(int);
    bool m_active = false;
};

#endif
