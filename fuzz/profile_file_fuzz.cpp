// The profile text under SK.ini on arbitrary bytes: parsing never crashes, every value set is read
// back (in memory and after writing and reading the text again) as the file format keeps it, and
// writing a read text again changes nothing.
// Input: the file's text, then after a 0xFF byte the keys to set, each as section, key and value
// separated by 0xFE bytes and ended by 0xFD.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "settings/profile_file.h"

namespace {
/** Section and key names as the program writes them: letters, digits and underscores. */
std::string Name(std::string_view bytes) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
    std::string name;
    for (const char c : bytes.substr(0, 12)) {
        name += kLetters[static_cast<unsigned char>(c) % kLetters.size()];
    }
    return name.empty() ? "K" : name;
}

/** What a value reads back as: line ends written as blanks, blanks around it dropped, cut. */
std::string Kept(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    return text.substr(0, skedora::ProfileFile::kMaxValueLength);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string_view NextPart(std::string_view& rest, char end) {
    const auto at = rest.find(end);
    const std::string_view part = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
    return part;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view text = NextPart(rest, '\xFF');
    skedora::ProfileFile file = skedora::ProfileFile::Parse(text);

    const std::string written = file.Serialize();
    if (skedora::ProfileFile::Parse(written).Serialize() != written) {
        std::abort();
    }

    // (upper-case section, upper-case key) -> section, key and the value that must read back
    std::map<std::pair<std::string, std::string>,
             std::pair<std::pair<std::string, std::string>, std::string>>
        expected;
    while (!rest.empty()) {
        std::string_view entry = NextPart(rest, '\xFD');
        const std::string section = Name(NextPart(entry, '\xFE'));
        const std::string key = Name(NextPart(entry, '\xFE'));
        file.Set(section, key, entry);
        if (file.Get(section, key, "?") != Kept(entry)) {
            std::abort();
        }
        expected[{Upper(section), Upper(key)}] = {{section, key}, Kept(entry)};
    }

    const std::string rewritten = file.Serialize();
    const skedora::ProfileFile reread = skedora::ProfileFile::Parse(rewritten);
    for (const auto& [upper, value] : expected) {
        const auto& [names, kept] = value;
        if (reread.Get(names.first, names.second, "?") != kept ||
            file.Get(names.first, names.second, "?") != kept) {
            std::abort();
        }
    }
    if (reread.Serialize() != rewritten) {
        std::abort();
    }
    return 0;
}
