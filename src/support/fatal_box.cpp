#include "support/fatal_box.h"

namespace marovin {

void showFatalBox(DesktopPort& desktop, std::string_view text, std::string_view caption, bool retryAllowed)
{
    // The default beep and then the "OK" beep.
    desktop.beep();
    desktop.beep();
    for (;;) {
        switch (desktop.fatalBox(text, caption)) {
        case FatalBoxAnswer::Abort:
            desktop.exitProgram(1);
            return; // not reached: the program has ended
        case FatalBoxAnswer::Retry:
            if (retryAllowed)
                return;
            break;
        case FatalBoxAnswer::Ignore:
            break;
        }
    }
}

} // namespace marovin
