// How one save file was read at start-up, apart from the value read from it. The
// table file and the options file are both loaded this way: read whole, parsed
// into a value that starts from the defaults, and on a file whose content gets
// replaced the old bytes kept aside first.
#pragma once

#include "storage/file_bytes.hpp"

#include <filesystem>
#include <string>
#include <utility>

namespace vantorel {

struct TSaveFileRead {
    /// Missing: the value keeps its defaults. Unreadable: so does the value,
    /// and the file must not be written over.
    TFileReadStatus Status = TFileReadStatus::Missing;
    /// With Status Read: false when the bytes did not hold all of the value.
    bool Complete = true;
    /// The bytes as read, for keeping aside when they get replaced.
    std::string Bytes;

    /// Reads the file at path whole. When it could be read, parse(bytes) fills the
    /// caller's value from them and returns whether they held all of it; a value
    /// the bytes did not give stays at its default.
    template <class Parse> void Read(const std::filesystem::path& path, Parse&& parse) {
        TFileBytes file = ReadFileBytes(path);
        Status = file.Status;
        if (Status != TFileReadStatus::Read)
            return;
        Complete = std::forward<Parse>(parse)(std::as_const(file.Bytes));
        Bytes = std::move(file.Bytes);
    }

    /// False for a file that is there but could not be read.
    bool Writable() const { return Status != TFileReadStatus::Unreadable; }

    /// When a file that was read is having its content replaced (replacing: cut
    /// short, malformed, or reset by a check), keeps its bytes aside as
    /// "<name>.bad" first. False only when that copy could not be written: the
    /// file must then not be written over either.
    bool KeepAsideIfReplaced(const std::filesystem::path& path, bool replacing) const;
};

} // namespace vantorel
