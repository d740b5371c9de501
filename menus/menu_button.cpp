#include "menus/menu_button.hpp"

#include "menus/menu_items.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

#include <algorithm>

namespace vantorel {

namespace {
constexpr int32_t kFirstSlot = 1;
constexpr int32_t kLastSlot = 12;
constexpr int32_t kButtonLayer = 4;
} // namespace

TMenuButton::TMenuButton(TGameContext& context, uint8_t imageListNo, int32_t x, int32_t y,
                         int32_t normalFrame, int32_t highlightFrame,
                         const std::string& normalImage, const std::string& highlightImage)
    : TMyImageSprite(context, imageListNo), normalImage_(normalImage),
      highlightImage_(highlightImage), normalFrame_(normalFrame), highlightFrame_(highlightFrame) {
    SetImageByName(normalImage_);
    AnimPosition = normalFrame_;
    X = x;
    Y = y;
    SetZ(kButtonLayer);
    AlphaMode = false;
}

bool TMenuButton::Contains(int32_t x, int32_t y) const {
    return X <= x && x <= X + Width && Y <= y && y <= Y + Height;
}

void TMenuButton::ShowNormal() {
    SetImageByName(normalImage_);
    AnimPosition = normalFrame_;
    highlightShown_ = false;
}

void TMenuButton::ShowHighlight() {
    SetImageByName(highlightImage_);
    AnimPosition = highlightFrame_;
    highlightShown_ = true;
}

TMenuButton* LiveItem(const TMenuCursor& cursor, const TMenuItems& items, int32_t k) {
    if (k < kFirstSlot || k > kLastSlot || !ItemInRange(cursor, k))
        return nullptr;
    return items[static_cast<size_t>(k)];
}

bool ItemInRange(const TMenuCursor& cursor, int32_t item) {
    return item >= cursor.FirstItem && item <= cursor.LastItem && item >= kFirstSlot &&
           item <= kLastSlot;
}

void UpdateHighlight(const TMenuCursor& cursor, TMenuItems& items) {
    const int32_t first = std::max(cursor.FirstItem, kFirstSlot);
    const int32_t last = std::min(cursor.LastItem, kLastSlot);
    for (int32_t k = first; k <= last; ++k) {
        TMenuButton* item = items[static_cast<size_t>(k)];
        if (item == nullptr)
            continue;
        if (k != cursor.ItemIndex)
            item->ShowNormal();
        else if (!item->HighlightShown())
            item->ShowHighlight();
    }
}

void KillItems(TMenuItems& items, int32_t first, int32_t last) {
    for (int32_t k = std::max(first, kFirstSlot); k <= std::min(last, kLastSlot); ++k) {
        auto& slot = items[static_cast<size_t>(k)];
        if (slot != nullptr)
            slot->Kill();
        slot = nullptr;
    }
}

} // namespace vantorel
