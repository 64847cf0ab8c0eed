#include "qt/os_family_source.h"

#ifdef _WIN32
#include "qt/windows_registry.h"
#endif

namespace zandrel {

OsFamilySource systemOsFamily()
{
#ifdef _WIN32
    return [] { return readOsFamily(WindowsRegistry()); };
#else
    return {};
#endif
}

}  // namespace zandrel
