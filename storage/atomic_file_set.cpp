#include "storage/atomic_file_set.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorel {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

/// Makes a rename in folder durable; a folder that cannot be flushed is no reason
/// to report the save as failed, the rename itself has happened.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

/// Makes every missing folder on the way to folder, each readable by its owner
/// only: saves are the player's own. Folders already there keep their mode.
void MakeFolders(const std::filesystem::path& folder) {
    std::filesystem::path step;
    for (const auto& part : folder) {
        step /= part;
        if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
            return; // the file's own open then fails and says so
    }
}

} // namespace

std::filesystem::path TAtomicFileSet::TemporaryPath(const std::filesystem::path& target) {
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    return temporary;
}

TAtomicFileSet::~TAtomicFileSet() {
    RemoveTemporaries();
}

void TAtomicFileSet::RemoveTemporaries() {
    for (const TStaged& s : staged_)
        ::unlink(s.Temporary.c_str());
    staged_.clear();
}

bool TAtomicFileSet::Stage(const std::filesystem::path& target, const std::string& bytes) {
    if (failed_)
        return false;
    const std::filesystem::path folder = target.parent_path();
    if (!folder.empty())
        MakeFolders(folder);
    const std::filesystem::path temporary = TemporaryPath(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        failed_ = true;
        return false;
    }
    staged_.push_back({target, temporary});
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        failed_ = true;
        return false;
    }
    return true;
}

bool TAtomicFileSet::Commit() {
    if (failed_ || staged_.empty()) {
        RemoveTemporaries();
        return false;
    }
    bool all = true;
    std::set<std::filesystem::path> folders;
    for (const TStaged& s : staged_) {
        if (std::rename(s.Temporary.c_str(), s.Target.c_str()) != 0)
            all = false;
        folders.insert(s.Target.parent_path());
    }
    for (const auto& folder : folders)
        SyncFolder(folder);
    RemoveTemporaries(); // only the ones whose rename failed are still there
    return all;
}

} // namespace vantorel
