#pragma once
// The one error box through which memory and file failures are reported.

#include <string_view>

#include "support/ports.h"

namespace marovin {

// Beeps twice, then shows text under caption with Abort, Retry and Ignore until the user
// picks a way on: Abort ends the program with status 1; Retry returns, but only when
// retryAllowed; any other answer shows the box again.
void showFatalBox(DesktopPort& desktop, std::string_view text, std::string_view caption, bool retryAllowed);

} // namespace marovin
