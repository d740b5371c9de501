// The main window's input step, the first step of a frame: what the frame's input
// snapshot asks of the main window beyond what the screens and windows read from
// it themselves: the item under a moving pointer lit, typed characters given to
// the screen and the window, Enter and clicks performing the lit item, and a
// running game paused when the display switches.
#pragma once

#include <cstdint>
#include <functional>

namespace vantorel {

class IGameNavigation;
class ISoundSink;
class IModalWindow;
class IScreen;
class TMenuButton;
struct TMenuCursor;
struct TMenuItems;
struct TInputSnapshot;

class TFormInput {
public:
    /// All must outlive this object.
    TFormInput(TMenuCursor& cursor, const TMenuItems& items, IGameNavigation& navigation,
               ISoundSink& sound);

    // What the main window tells this class about itself. Each may stay unset:
    // then there is no screen, no window, no item is hit and hovering always sounds.

    /// The screen of the current screen code; null for none.
    std::function<IScreen*()> CurrentScreen;
    /// The open modal window; null when none is open.
    std::function<IModalWindow*()> CurrentWindow;
    /// True when display point (x, y) lies on the item's sprite, all four edges
    /// included.
    std::function<bool(const TMenuButton& item, int32_t x, int32_t y)> ItemContains;
    /// True while a change of highlight by the mouse plays no sound (the main
    /// menu's fade-in).
    std::function<bool()> HoverSilent;

    /// Once a frame, before the screen or window runs, in this order: the
    /// full-screen switch opens the pause window during a game; a pointer that
    /// moved lights the first item of the range under it (none under it: the
    /// light stays); each typed character goes to the current screen, then to the
    /// open window, and Enter then performs the lit item; each click performs the
    /// lit item.
    void Play(const TInputSnapshot& input);

private:
    void Hover(int32_t x, int32_t y);
    void Type(uint8_t character);

    TMenuCursor& cursor_;
    const TMenuItems& items_;
    IGameNavigation& navigation_;
    ISoundSink& sound_;
};

} // namespace vantorel
