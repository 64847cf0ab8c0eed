#pragma once
// Joining a folder the runtime gave us with a file name.

#include <string>
#include <string_view>

namespace zandrel {

// `folder` and `name` with exactly one separator between them: the folder's
// own kind (a backslash for a Windows path written with backslashes, a slash
// otherwise), none added after a root that already ends in one.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace zandrel
