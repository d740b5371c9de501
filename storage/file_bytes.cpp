#include "storage/file_bytes.hpp"

#include "storage/atomic_file_set.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorel {

TFileBytes ReadFileBytes(const std::filesystem::path& path, size_t maxBytes) {
    TFileBytes result;
    // Non-blocking so that a pipe placed at the path cannot stall start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.Status = errno == ENOENT ? TFileReadStatus::Missing : TFileReadStatus::Unreadable;
        return result;
    }
    result.Status = TFileReadStatus::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<uintmax_t>(info.st_size) <= maxBytes) {
        std::string bytes;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || bytes.size() + static_cast<size_t>(n) > maxBytes)
                break;
            if (n == 0) {
                result.Status = TFileReadStatus::Read;
                result.Bytes = std::move(bytes);
                break;
            }
            bytes.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return result;
}

bool KeepAsideAsBad(const std::filesystem::path& path, const std::string& bytes) {
    TAtomicFileSet set;
    std::filesystem::path bad = path;
    bad += ".bad";
    return set.Stage(bad, bytes) && set.Commit();
}

} // namespace vantorel
