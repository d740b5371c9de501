// The synthesised instruments of the music modules. Tonal instruments are built from
// whole cycles so that their loops are seamless; drums are one-shot recordings made by
// the sound-effect synthesiser.
#pragma once

#include "tools/xmgen/xm_writer.hpp"

#include <string>

namespace vantorel::xm {

/// Instrument by name: "saw bass", "round bass", "saw pad", "warm pad", "pulse lead",
/// "soft lead", "pluck", "bell", "kick", "soft kick", "snare", "rim", "hat", "crash".
/// Tonal ones sound at their written pitch (C-4 is middle C, 1.9 cents flat);
/// drums sound as recorded at C-4. Throws std::invalid_argument for an unknown name.
TXmInstrument MakeInstrument(const std::string& name);

} // namespace vantorel::xm
