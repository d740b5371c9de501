// Saving a set of files so that a crash or a full disk never leaves a half-written
// file, nor one file of the set new and another old: every file is first written
// and flushed to disk under a temporary name, and only when all of them are there
// are they renamed over the old files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantorel {

class TAtomicFileSet {
public:
    TAtomicFileSet() = default;
    TAtomicFileSet(const TAtomicFileSet&) = delete;
    TAtomicFileSet& operator=(const TAtomicFileSet&) = delete;
    /// Removes the temporary files of a set that was not committed.
    ~TAtomicFileSet();

    /// Creates the target's folders when missing (mode 0700), writes bytes to target + ".tmp"
    /// and flushes it to disk. False (and nothing renamed later) on any failure.
    bool Stage(const std::filesystem::path& target, const std::string& bytes);

    /// When every Stage succeeded: renames each temporary file over its target and
    /// flushes the folders; true when all renames succeeded. After a failed Stage
    /// it removes the temporary files, leaves the old files alone and returns false.
    bool Commit();

    /// The temporary name of target.
    static std::filesystem::path TemporaryPath(const std::filesystem::path& target);

private:
    struct TStaged {
        std::filesystem::path Target;
        std::filesystem::path Temporary;
    };
    void RemoveTemporaries();
    std::vector<TStaged> staged_;
    bool failed_ = false;
};

} // namespace vantorel
