#include "menus/menu_button.hpp"

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

TMenuButton* LiveItem(const TGameState& state, int32_t k) {
    if (k < kFirstSlot || k > kLastSlot || !ItemInRange(state, k))
        return nullptr;
    return state.Items[static_cast<size_t>(k)];
}

bool ItemInRange(const TGameState& state, int32_t item) {
    return item >= state.FirstItem && item <= state.LastItem && item >= kFirstSlot &&
           item <= kLastSlot;
}

void UpdateHighlight(TGameState& state) {
    const int32_t first = std::max(state.FirstItem, kFirstSlot);
    const int32_t last = std::min(state.LastItem, kLastSlot);
    for (int32_t k = first; k <= last; ++k) {
        TMenuButton* item = state.Items[static_cast<size_t>(k)];
        if (item == nullptr)
            continue;
        if (k != state.ItemIndex)
            item->ShowNormal();
        else if (!item->HighlightShown())
            item->ShowHighlight();
    }
}

void KillItems(TGameState& state, int32_t first, int32_t last) {
    for (int32_t k = std::max(first, kFirstSlot); k <= std::min(last, kLastSlot); ++k) {
        auto& slot = state.Items[static_cast<size_t>(k)];
        if (slot != nullptr)
            slot->Kill();
        slot = nullptr;
    }
}

} // namespace vantorel
