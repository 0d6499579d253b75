#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process can grow past `bytes`: writes
// beyond fail as they would on a full disk. Needs no privileges.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        const rlimit limit{bytes, m_before.rlim_max};
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_before); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_before{};
    bool m_set = false;
};
