#include "platform/sdl_system.hpp"

#include "base/errors.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vantorel {
namespace {

// Sets or clears an environment variable for one test and puts it back after.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

TEST(SdlSystem, AHeadlessDriverNamedOnPurposeStarts) {
    TScopedEnv driver("SDL_VIDEODRIVER", "dummy");
    EXPECT_NO_THROW(TSdlSystem system);
}

// Started where no desktop can be reached, SDL would quietly pick a driver that
// shows nothing, and the game would run where no one could see or quit it.
TEST(SdlSystem, NoDesktopDisplayIsAClearErrorNotAnInvisibleGame) {
    std::error_code ec;
    if (std::filesystem::exists("/dev/dri", ec))
        GTEST_SKIP() << "a console's graphics device could show the game without a desktop";
    TScopedEnv driver("SDL_VIDEODRIVER", nullptr);
    TScopedEnv display("DISPLAY", ":9999");
    TScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    try {
        TSdlSystem system;
        FAIL() << "the game started with no display to show it on";
    } catch (const EVantorelError& e) {
        EXPECT_NE(std::string(e.what()).find("no desktop display was found"), std::string::npos)
            << e.what();
    }
}

} // namespace
} // namespace vantorel
