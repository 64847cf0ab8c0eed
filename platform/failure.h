#pragma once
// The one way anything in Zandrel says it could not do what it was asked:
// it throws a Failure, with a number and a description. The numbers follow
// the classic runtime's file failures, so that messages and tests can name
// them; anything outside that table gets its own number above it. A failure
// the user is told of in a box of its own (the store's messages, say) carries
// that box; any other is told as an unexpected failure, by number and
// description. How a failure travels to the user: docs/architecture.md.

#include <optional>
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

enum class MessageIcon { Exclamation, Information, Stop };

// A modal message box as the user sees it. An empty title shows the
// program's own.
struct Notice {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Stop;

    bool operator==(const Notice &) const = default;
};

class Failure : public std::runtime_error {
public:
    Failure(int number, const std::string &description, std::optional<Notice> notice = {})
        : std::runtime_error(description), m_number(number), m_notice(std::move(notice)) {}
    int number() const noexcept { return m_number; }
    std::string description() const { return what(); }
    // The box the user is told of it in: its own, or the one of every
    // unexpected failure, which gives the number and the description and
    // says that what the user typed is kept.
    Notice notice() const;
    // Whether it carries a box of its own, rather than the unexpected one.
    bool hasOwnNotice() const noexcept { return m_notice.has_value(); }
    // The same failure, told in `notice`.
    Failure toldAs(Notice notice) const { return Failure(m_number, description(), std::move(notice)); }

private:
    int m_number;
    std::optional<Notice> m_notice;
};

}  // namespace zandrel
