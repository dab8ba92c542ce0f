#include "model/error.h"

namespace skedora {

namespace errors {
Error InvalidCall(std::string description) {
    return {kInvalidCall, std::move(description)};
}
Error Overflow() {
    return {kOverflow, "Overflow"};
}
Error TypeMismatch() {
    return {kTypeMismatch, "Type mismatch"};
}
Error FileNotFound() {
    return {kFileNotFound, "File not found"};
}
Error PathFileAccess(const std::string& reason) {
    std::string text = "Path/File access error";
    if (!reason.empty()) {
        text += ": " + reason;
    }
    return {kPathFileAccess, text};
}
Error PathNotFound() {
    return {kPathNotFound, "Path not found"};
}
}  // namespace errors

std::string ErrorBoxText(const Error& error) {
    const std::string number =
        error.number >= 0 ? " " + std::to_string(error.number) : std::to_string(error.number);
    return "Error! (" + error.description + ").  Error number = " + number +
           ".  Error Source = " + error.source;
}

}  // namespace skedora
