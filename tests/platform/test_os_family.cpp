#include "platform/os_family.h"

#include "platform/registry_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace zandrel {
namespace {

class TableRegistry : public RegistryReader {
public:
    std::optional<std::string> read(const std::string &valuePath) const override
    {
        const auto it = values.find(valuePath);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    std::map<std::string, std::string> values;
};

TEST(OsFamily, EachRegistryStateGivesItsFamilyAndInterpreter)
{
    const std::optional<std::string> none;
    const struct {
        const char *name;
        std::optional<std::string> productType, olderVersion, ntVersion;
        std::optional<double> expected;
        bool commandCom;
    } cases[] = {
        {"nt_xp", "WinNT", none, "5.1", 5.1, false},
        {"nt_empty_product_type", "", "4.10.2222", "6.1", 6.1, false},
        {"nt_version_missing", "WinNT", none, none, std::nullopt, false},
        {"nt_version_not_a_number", "WinNT", none, "5.1a", std::nullopt, false},
        {"nt_version_infinity", "WinNT", none, "inf", std::nullopt, false},
        {"win95", none, "4.03.1214", none, 1.0, true},
        {"win98", none, "4.10.1998", "5.1", 2.0, true},
        {"win98_se", none, "4.10.2222", none, 2.0, true},
        {"win_me_gets_cmd", none, "4.90.3000", none, 3.0, false},
        {"unknown_older_version", none, "4.10.1999", none, 1.0, true},
        {"older_version_missing", none, none, none, 1.0, true},
        {"older_version_leading_blank", none, " 4.10.1998", none, 1.0, true},
    };
    for (const auto &c : cases) {
        // Paths written out rather than taken from the code, so a misspelt one fails here.
        TableRegistry registry;
        if (c.productType)
            registry.values[R"(HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions\ProductType)"] = *c.productType;
        if (c.olderVersion)
            registry.values[R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\VersionNumber)"] = *c.olderVersion;
        if (c.ntVersion)
            registry.values[R"(HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentVersion)"] = *c.ntVersion;

        const std::optional<double> family = GetOsVersionNumber(registry);
        EXPECT_EQ(family, c.expected) << c.name;
        EXPECT_EQ(usesCommandCom(family), c.commandCom) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
