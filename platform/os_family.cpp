#include "platform/os_family.h"

#include "platform/registry_reader.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace zandrel {

namespace {

struct KnownRelease {
    std::string_view version;
    double family;
};

// Compared exactly and in this order; the first match decides.
constexpr KnownRelease OlderFamilyReleases[] = {
    {"4.00.950", 1},   // Windows 95
    {"4.00.1111", 1},  // Windows 95 OSR2
    {"4.03.1214", 1},  // Windows 95 OSR2.5
    {"4.10.1998", 2},  // Windows 98
    {"4.10.2222", 2},  // Windows 98 Second Edition
    {"4.90.3000", 3},  // Windows Me
};

double olderFamilyNumber(const std::optional<std::string> &version)
{
    if (version) {
        for (const KnownRelease &release : OlderFamilyReleases) {
            if (*version == release.version)
                return release.family;
        }
    }
    // An unknown or unreadable older-family version still has command.com.
    return 1;
}

// "5.1" as 5.1: a decimal number with '.' as its separator whatever the
// locale, blanks around it allowed; nothing for any other text.
std::optional<double> parseVersionNumber(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // from_chars also reads "inf" and "nan", which are no version.
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> readOsFamily(const RegistryReader &registry)
{
    if (!registry.read(RegistryValue::ProductType))
        return olderFamilyNumber(registry.read(RegistryValue::WindowsVersionNumber));

    const std::optional<std::string> ntVersion = registry.read(RegistryValue::NtCurrentVersion);
    if (!ntVersion)
        return std::nullopt;
    return parseVersionNumber(*ntVersion);
}

bool usesCommandCom(std::optional<double> osFamily)
{
    return osFamily && (*osFamily == 1.0 || *osFamily == 2.0);
}

}  // namespace zandrel
