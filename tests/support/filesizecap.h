#pragma once

#include <csignal>
#include <sys/resource.h>

// Caps the size of any file this process writes, as a full disk would,
// while the object lives: a write past the cap fails with EFBIG.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit cap = m_old;
        cap.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_previous);
    }
    FileSizeCap(const FileSizeCap &) = delete;
    FileSizeCap &operator=(const FileSizeCap &) = delete;

private:
    struct rlimit m_old {};
    void (*m_previous)(int) = nullptr;
};
