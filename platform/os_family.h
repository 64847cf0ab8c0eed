#pragma once
// Which Windows family runs the program, for the choice of command
// interpreter when a document is opened: Windows 95, 98 and Me have only
// command.com, the NT family has cmd.

#include <functional>
#include <optional>

namespace zandrel {

class RegistryReader;

namespace RegistryValue {
// Exists only on the NT family; its content is not used.
inline constexpr const char *ProductType = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions\\ProductType";
// The older family's version, such as "4.10.2222".
inline constexpr const char *WindowsVersionNumber = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\VersionNumber";
// The NT family's version, such as "5.1".
inline constexpr const char *NtCurrentVersion = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentVersion";
}  // namespace RegistryValue

// 1 for Windows 95 (and any older-family version not known), 2 for Windows 98,
// 3 for Windows Me, the NT version number (5.1, 6.1, ...) for the NT family,
// and nothing for an NT system whose version cannot be read as a number.
// Failed reads are absorbed; a reader that cannot start at all throws.
std::optional<double> readOsFamily(const RegistryReader &registry);

// Where a caller gets that value when it needs it: unset where there is no
// Windows family to ask about.
using OsFamilySource = std::function<std::optional<double>()>;

// The callers' one test of that value: only 1 and 2 need command.com.
bool usesCommandCom(std::optional<double> osFamily);

}  // namespace zandrel
