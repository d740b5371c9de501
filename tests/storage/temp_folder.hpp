// A fresh working folder for tests that read and write save files; the test runs
// inside it and it is removed afterwards.
#pragma once

#include "support/byte_blobs.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace vantorel::testing {

struct TempFolderTest : ::testing::Test {
    std::filesystem::path oldDir;
    std::filesystem::path dir;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        oldDir = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() /
              ("vantorel_storage_" + std::to_string(::getpid()) + "_" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(dir);
    }

    static void Write(const std::filesystem::path& path, const std::string& bytes) {
        test_support::WriteWholeFile(path, bytes);
    }
    static std::string Read(const std::filesystem::path& path) {
        return test_support::ReadWholeFile(path);
    }
};

} // namespace vantorel::testing
