#pragma once
// The Windows registry, read through Qt's native settings. Built on Windows only.

#include "platform/registry_reader.h"

namespace zandrel {

class WindowsRegistry : public RegistryReader {
public:
    std::optional<std::string> read(const std::string &valuePath) const override;
};

}  // namespace zandrel
