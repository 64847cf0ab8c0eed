#pragma once

#include <optional>
#include <string>

namespace zandrel {

// Read access to the Windows registry by full value path, such as
// "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentVersion".
// The Windows program reads the real registry; tests answer from a table.
class RegistryReader {
public:
    virtual ~RegistryReader() = default;

    // The value's data as text, or nothing when it does not exist or cannot
    // be read. A reader that cannot reach the registry at all throws Failure.
    virtual std::optional<std::string> read(const std::string &valuePath) const = 0;
};

}  // namespace zandrel
