// A selectable item of a menu screen or question window: a picture sprite with a
// normal look and a highlighted look, and the item model's highlighting and
// hit-testing that the screens and the pointer share.
#pragma once

#include "objects/my_image_sprite.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

struct TGameContext;
struct TMenuCursor;
struct TMenuItems;

class TMenuButton final : public TMyImageSprite {
public:
    /// A button of library imageListNo with its top-left corner at (x, y) on
    /// layer 4, showing normalImage at pattern normalFrame; highlightImage at
    /// pattern highlightFrame is the highlighted look. Owned by the sprite
    /// engine; removed with Kill.
    TMenuButton(TGameContext& context, uint8_t imageListNo, int32_t x, int32_t y,
                int32_t normalFrame, int32_t highlightFrame, const std::string& normalImage,
                const std::string& highlightImage);

    /// True when display point (x, y) lies on the button, all four edges
    /// included. The pointer's hit-test (the main window's mouse-move handler)
    /// asks this of each item of the range in turn.
    bool Contains(int32_t x, int32_t y) const;

    /// Shows the normal look and clears HighlightShown.
    void ShowNormal();
    /// Shows the highlighted look and sets HighlightShown.
    void ShowHighlight();
    /// The highlighted look is on.
    bool HighlightShown() const { return highlightShown_; }

private:
    std::string normalImage_;
    std::string highlightImage_;
    int32_t normalFrame_;
    int32_t highlightFrame_;
    bool highlightShown_ = false;
};

/// Once a frame, by every menu screen and question window: every live item of the
/// range but the highlighted one shows its normal look; the highlighted one takes
/// its highlighted look once, when it becomes highlighted.
void UpdateHighlight(const TMenuCursor& cursor, TMenuItems& items);

/// Item slot k of the item model, 1..12, when it is inside the range and holds a
/// button; null otherwise.
TMenuButton* LiveItem(const TMenuCursor& cursor, const TMenuItems& items, int32_t k);

/// True when item is inside the current item range (a highlighted item outside it
/// is stale and must do nothing).
bool ItemInRange(const TMenuCursor& cursor, int32_t item);

/// Kills the buttons of item slots first..last and empties their slots.
void KillItems(TMenuItems& items, int32_t first, int32_t last);

} // namespace vantorel
