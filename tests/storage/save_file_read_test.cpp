#include "storage/save_file_read.hpp"

#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

using SaveFileRead = testing::TempFolderTest;

// The one way both save files are read and kept aside: only bytes that were read
// reach the parser and get copied to "<name>.bad", and a copy that cannot be
// written forbids writing the file itself, so the player's only copy survives.
TEST_F(SaveFileRead, ReadsParsesAndKeepsAsideOnlyWhatWasRead) {
    struct Case {
        const char* Name;
        const char* Bytes; // null: no file; "/": a folder in the file's place
        bool ParsedWhole;
        bool Replacing;
        bool BadBlocked; // "<name>.bad" is a folder with something in it
        TFileReadStatus Status;
        bool Writable;
        bool KeptAside;
    };
    const Case cases[] = {
        {"missing", nullptr, true, true, false, TFileReadStatus::Missing, true, true},
        {"unreadable", "/", true, true, false, TFileReadStatus::Unreadable, false, true},
        {"whole and kept", "a\r\n", true, false, false, TFileReadStatus::Read, true, true},
        {"cut short", "a\r\n", false, true, false, TFileReadStatus::Read, true, true},
        {"replaced, no room for the copy", "a\r\n", false, true, true, TFileReadStatus::Read, true,
         false},
        {"kept, copy never needed", "a\r\n", true, false, true, TFileReadStatus::Read, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all("f");
        fs::remove_all("f.bad");
        if (c.Bytes != nullptr && std::string(c.Bytes) == "/")
            fs::create_directory("f");
        else if (c.Bytes != nullptr)
            Write("f", c.Bytes);
        if (c.BadBlocked)
            Write("f.bad/in_the_way", "x");

        TSaveFileRead read;
        int parses = 0;
        std::string parsed;
        read.Read("f", [&](const std::string& bytes) {
            ++parses;
            parsed = bytes;
            return c.ParsedWhole;
        });
        const bool wasRead = c.Status == TFileReadStatus::Read;
        EXPECT_EQ(read.Status, c.Status);
        EXPECT_EQ(parses, wasRead ? 1 : 0);
        EXPECT_EQ(read.Complete, !wasRead || c.ParsedWhole);
        EXPECT_EQ(read.Bytes, wasRead ? parsed : "");
        EXPECT_EQ(read.Writable(), c.Writable);

        EXPECT_EQ(read.KeepAsideIfReplaced("f", c.Replacing), c.KeptAside);
        const bool copied = wasRead && c.Replacing && !c.BadBlocked;
        EXPECT_EQ(fs::is_regular_file("f.bad"), copied);
        if (copied) {
            EXPECT_EQ(Read("f.bad"), c.Bytes);
        }
    }
}

} // namespace
} // namespace vantorel
