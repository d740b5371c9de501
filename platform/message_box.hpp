// The error box that shows a fatal media error to the player.
#pragma once

#include <string>

namespace vantorel {

/// Shows text in a modal error box titled title and waits for the player to close
/// it; also writes it to stderr. Without a desktop (headless, no display) only
/// stderr gets it. Safe to call before the game's window exists.
void ShowErrorBox(const std::string& title, const std::string& text);

} // namespace vantorel
