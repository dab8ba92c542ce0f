#include "model/error.h"

namespace skedora {

namespace errors {
Error InvalidCall(std::string description) {
    return {kInvalidCall, std::move(description)};
}
Error Overflow(std::string cause) {
    return {kOverflow, "Overflow", "Skedora", std::move(cause)};
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
    std::string text = "Error! (";
    text += error.description;
    text += ").  Error number = ";
    // A number that is not negative has a blank in the place of its sign.
    if (error.number >= 0) {
        text += ' ';
    }
    text += std::to_string(error.number);
    text += ".  Error Source = ";
    text += error.source;
    return text;
}

}  // namespace skedora
