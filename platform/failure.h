#pragma once
// A failure that the program reports to the user: a number and a description.
// The numbers follow the classic runtime's file failures so that messages and
// tests can name them; anything outside the table below gets its own number.

#include <stdexcept>
#include <string>

namespace zandrel {

namespace FailureNumber {
// A text that should have been a number was not.
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
// Not file failures: our own numbers, above the classic range.
inline constexpr int CorruptItem = 1001;
inline constexpr int MissingItem = 1002;
inline constexpr int CannotOpenDocument = 1003;
}  // namespace FailureNumber

class Failure : public std::runtime_error {
public:
    Failure(int number, const std::string &description)
        : std::runtime_error(description), m_number(number) {}
    int number() const noexcept { return m_number; }
    std::string description() const { return what(); }

private:
    int m_number;
};

}  // namespace zandrel
