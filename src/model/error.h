#pragma once

#include <optional>
#include <string>

namespace skedora {

/** A failure as the program reports it: a number, a description and a source. */
struct Error {
    int number = 0;
    std::string description;
    std::string source = "Skedora";
    /**
     * Which of the causes one number stands for, for the program to tell them apart; the error
     * box does not show it. Empty where the number has one cause (and initialized, so an error
     * made from the first members alone need not name it).
     */
    std::string cause{};

    bool operator==(const Error&) const = default;
};

/** No value means success. */
using MaybeError = std::optional<Error>;

/** Error numbers the program uses, with their standard descriptions. */
namespace errors {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kBadTable = 3001;

/** Overflow's cause when a schedule has more events than the event table holds. */
inline constexpr const char* kEventTableFull = "more events than the event table holds";

Error InvalidCall(std::string description = "Invalid procedure call or argument");
Error Overflow(std::string cause = {});
Error TypeMismatch();
Error FileNotFound();
Error PathFileAccess(const std::string& reason = {});
Error PathNotFound();
}  // namespace errors

/**
 * The text of the error box:
 * "Error! (" + description + ").  Error number = " + number + ".  Error Source = " + source,
 * where a number that is not negative gets a blank in the place of its sign.
 */
std::string ErrorBoxText(const Error& error);

}  // namespace skedora
