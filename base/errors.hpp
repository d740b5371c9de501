// The media layer's error types. Each carries a fixed message text that the
// game shows to the player once, in a message box, without catching it earlier.
#pragma once

#include <stdexcept>
#include <string>

namespace vantorel {

/// Base of every error the engine raises; what() is the player-facing text.
class EVantorelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// "Cannot open file "%s". %s": a library file that cannot be opened.
class EFOpenError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Invalid stream format" and other faults of a library file's container.
class EFilerError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "DIB is invalid": a picture whose bitmap data cannot be decoded.
class EInvalidGraphic : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Image '%s' not found", "%s cannot be initialized".
class EPictureCollectionError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Wave '%s' not found".
class EWaveCollectionError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Wave is invalid".
class EWaveStreamError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Index of the list exceeds the range. (%d)", "List index out of bounds (%d)".
class ESpriteError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Form not found", "Display mode cannot be changed (%dx%d %dbit)".
class EDXDrawError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Display requires 8, 16, 24 or 32 bits".
class EDirectDrawError : public EVantorelError {
    using EVantorelError::EVantorelError;
};
/// "Form not found", "%s cannot be made" from the sound device.
class EDXSoundError : public EVantorelError {
    using EVantorelError::EVantorelError;
};

} // namespace vantorel
