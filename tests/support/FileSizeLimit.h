#pragma once

#include "store/Result.h"
#include "VerifyOk.h"

#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

// While it is set, no file of this process can grow past the limit: writes
// beyond fail as they would on a full disk. Needs no privileges.
//
//     FileSizeLimit full;
//     VERIFY_OK(full.set(8));
class FileSizeLimit final
{
public:
    FileSizeLimit() = default;
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // Limits every file to `bytes` until lift() or the end of this object.
    [[nodiscard]] Result<void> set(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        if (!m_set && getrlimit(RLIMIT_FSIZE, &m_before) != 0)
            return fail(QStringLiteral("cannot read the file size limit: ") + QString::fromLocal8Bit(strerror(errno)));
        const rlimit limit{bytes, m_before.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return fail(QStringLiteral("cannot limit file sizes to %1 bytes: ").arg(bytes)
                        + QString::fromLocal8Bit(strerror(errno)));
        m_set = true;
        return {};
    }

    // Gives files back the size they could have before.
    void lift()
    {
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_before);
        m_set = false;
    }

private:
    rlimit m_before{};
    bool m_set = false;
};
