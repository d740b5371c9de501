// Handing a web address or a file to the desktop's own handler.
#pragma once

#include <string>

namespace vantorel {

/// Asks the desktop to open address (a web address, or a file path that is made
/// into a file: address) with its default handler, without waiting for it.
/// False when the desktop refused; the game ignores that.
bool OpenWithDesktop(const std::string& address);

} // namespace vantorel
