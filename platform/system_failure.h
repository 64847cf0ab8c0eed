#pragma once
// The failure numbers of failure.h for the errors the system reports, so
// that messages and callers can tell a missing file from a full disk.

#include "platform/failure.h"

#include <string>
#include <system_error>

namespace zandrel {

// The number for `error`, met on a path whose folder exists or not
// (`folderExists`): a missing name in a folder that is there is a missing
// file; in one that is not, a missing path. What has no number of its own
// is a path/file access failure.
int failureNumberFor(std::error_code error, bool folderExists);

// The failure the system reports with `error` on `path` (as the system
// writes it): its number, and the path with the system's own reason.
Failure systemFailure(const std::string &path, std::error_code error, bool folderExists);

}  // namespace zandrel
