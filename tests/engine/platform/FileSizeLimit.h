#pragma once

#include <signal.h>
#include <sys/resource.h>

// Makes every write past the given file size fail in this process, as a full disk does (also
// for root, whom a read-only directory does not stop). The old limit comes back at the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &_saved);
        _oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = _saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &_saved);
        ::signal(SIGXFSZ, _oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit _saved{};
    void (*_oldHandler)(int) = nullptr;
};
