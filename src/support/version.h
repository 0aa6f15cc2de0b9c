#pragma once

namespace marovin {

// The program's version, as given to the build.
const char* versionText() noexcept;

} // namespace marovin
