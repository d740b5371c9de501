#include "gameplay/pause_window.hpp"

#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TPauseWindow::Tick(int32_t lagCount) {
    (void)lagCount;
    DrawCentredInStyle(ctx_, "Pause", 5, 400, 300);
    if (ctx_.State.KeyP.Pressed || ctx_.State.KeyEsc.Pressed)
        ctx_.Shell.CloseWindow();
}

} // namespace vantorel
