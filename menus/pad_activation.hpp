// The gamepad's Enter: its fire button (the snapshot's pad Fire: the south face
// button, or a plain joystick's first button) activates the
// highlighted item of the menus and their windows, so a pad alone can play from
// the main menu through a game and the name entry back to the menu.
#pragma once

#include <cstdint>

namespace vantorel {

struct TInputSnapshot;

class TPadActivation {
public:
    /// At every screen build and window open: a button already held counts as
    /// seen, so only a press that begins afterwards activates (a player still
    /// holding fire as "Game Over" gives way to the name entry commits nothing).
    void Arm(const TInputSnapshot& input);
    /// Once a frame, by the one menu handler that runs: true on the frame the
    /// button goes down.
    bool Pressed(const TInputSnapshot& input);

private:
    bool previous_ = false;
};

} // namespace vantorel
