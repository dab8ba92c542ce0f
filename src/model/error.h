#pragma once

#include <optional>
#include <string>

namespace skedora {

/** A failure as the program reports it: a number, a description and a source. */
struct Error {
    int number = 0;
    std::string description;
    std::string source = "Skedora";

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

Error InvalidCall(std::string description = "Invalid procedure call or argument");
Error Overflow();
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
