// Helpers the score server's tests share.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace vantorel::server::test_support {

/// A folder of its own for the running test, removed afterwards.
class TTempFolder {
public:
    TTempFolder() {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vantorel-server-") + info->test_suite_name() + "-" +
                           info->name() + "-" + std::to_string(::getpid());
        for (char& c : name)
            if (c == '/')
                c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::filesystem::path File(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace vantorel::server::test_support
