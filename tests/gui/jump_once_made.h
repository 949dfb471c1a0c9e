// Real-window tests start the wizard on a page of their choosing. The wizard
// makes its pages on its first timer, which a loaded machine can hold back past
// any fixed delay, and a jump made before then finds no page: so the jump waits
// for them.
#pragma once

#include <cstddef>

#include "app/main_window/dlg_main.h"
#include "platform/window/clock.h"
#include "platform/window/message_loop.h"

// Shows the page at zero-based `page` once all pages are made.
inline void JumpOnceMade(CDlgMain& wizard, std::size_t page) {
    MessageQueue::Current()->Schedule(GetClock()->NowMs() + 100, [&wizard, page] {
        if (wizard.pages.size() < static_cast<std::size_t>(CDlgMain::kPageCount))
            return JumpOnceMade(wizard, page);
        wizard.PostMessage(WM_WIZ_NEXT, page, 0);
    });
}
