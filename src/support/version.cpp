#include "support/version.h"

namespace marovin {

const char* versionText() noexcept
{
    return MAROVIN_VERSION;
}

} // namespace marovin
