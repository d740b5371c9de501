#include "menus/sending_window.hpp"

#include "state/game_context.hpp"

namespace vantorel {

void TSendingWindow::Tick(int32_t) {
    (void)ctx_;
}

} // namespace vantorel
