#pragma once

#include <stdexcept>

namespace vantorel {

/// Bytes that are not a replay this game can read, or a replay that cannot be
/// written: what() says what is wrong and, for a file, at which byte.
class EReplayFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vantorel
