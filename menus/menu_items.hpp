// The item slots of the menu screens and question windows: slot k (1 to 12; 0 is
// unused) holds the button of item k while its screen or window lives, 11 and 12
// being "Yes" and "No". The buttons are owned by the sprite engine; a slot is null
// where no item lives.
#pragma once

#include <array>
#include <cstddef>

namespace vantorel {

class TMenuButton;

struct TMenuItems {
    std::array<TMenuButton*, 13> Slots{};

    TMenuButton*& operator[](size_t k) { return Slots[k]; }
    TMenuButton* operator[](size_t k) const { return Slots[k]; }
};

} // namespace vantorel
