#include "app/form_input.hpp"

#include "menus/menu_items.hpp"
#include "state/game_navigation.hpp"
#include "state/game_state.hpp"
#include "state/input_snapshot.hpp"
#include "state/modal_window.hpp"
#include "state/screen.hpp"
#include "state/sound_sink.hpp"

#include <algorithm>

namespace vantorel {

namespace {

constexpr uint8_t kEnter = 13;
constexpr int32_t kFirstItemSlot = 1;
constexpr int32_t kLastItemSlot = 12;

} // namespace

TFormInput::TFormInput(TMenuCursor& cursor, const TMenuItems& items, IGameNavigation& navigation,
                       ISoundSink& sound)
    : cursor_(cursor), items_(items), navigation_(navigation), sound_(sound) {}

void TFormInput::Play(const TInputSnapshot& input) {
    if (input.WasPressed(TInputKey::FullScreen) && cursor_.ScreenCode == TScreenCode::Game)
        navigation_.OpenWindow(TWindowKind::Pause);
    if (input.PointerMoved)
        Hover(input.PointerX, input.PointerY);
    for (const char c : input.Typed)
        Type(static_cast<uint8_t>(c));
    for (uint32_t i = 0; i < input.Clicks; ++i)
        navigation_.ActivateItem();
}

void TFormInput::Hover(int32_t x, int32_t y) {
    const int32_t before = cursor_.ItemIndex;
    if (ItemContains) {
        const int32_t first = std::max(cursor_.FirstItem, kFirstItemSlot);
        const int32_t last = std::min(cursor_.LastItem, kLastItemSlot);
        for (int32_t k = first; k <= last; ++k) {
            const TMenuButton* item = items_[static_cast<size_t>(k)];
            if (item != nullptr && ItemContains(*item, x, y)) {
                cursor_.ItemIndex = k;
                break;
            }
        }
    }
    if (cursor_.ItemIndex != before && !(HoverSilent && HoverSilent()))
        sound_.PlaySound("Button");
}

void TFormInput::Type(uint8_t character) {
    // The screen first: the options screen's add-text editor takes characters
    // even while a window is open over it.
    if (IScreen* screen = CurrentScreen ? CurrentScreen() : nullptr)
        screen->CharacterTyped(character);
    if (IModalWindow* window = CurrentWindow ? CurrentWindow() : nullptr)
        window->CharacterTyped(character);
    if (character == kEnter)
        navigation_.ActivateItem();
}

} // namespace vantorel
