#include "platform/system_failure.h"

#include <cerrno>

namespace zandrel {

int failureNumberFor(std::error_code error, bool folderExists)
{
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::no_such_file_or_directory)
        return folderExists ? FailureNumber::FileNotFound : FailureNumber::PathNotFound;
    if (condition == std::errc::not_a_directory)
        return FailureNumber::PathNotFound;
    if (condition == std::errc::permission_denied || condition == std::errc::operation_not_permitted
        || condition == std::errc::read_only_file_system)
        return FailureNumber::PermissionDenied;
    if (condition == std::errc::no_space_on_device)
        return FailureNumber::DiskFull;
#ifdef EDQUOT
    // Over the user's quota, the disk is full as far as the user is concerned.
    if (error.category() == std::generic_category() && error.value() == EDQUOT)
        return FailureNumber::DiskFull;
#endif
    if (condition == std::errc::io_error)
        return FailureNumber::DeviceIo;
    return FailureNumber::PathFileAccess;
}

Failure systemFailure(const std::string &path, std::error_code error, bool folderExists)
{
    return Failure(failureNumberFor(error, folderExists), path + ": " + error.message());
}

}  // namespace zandrel
