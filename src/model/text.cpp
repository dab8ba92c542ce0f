#include "model/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace skedora {

std::string_view TrimSpaces(std::string_view text) {
    const char* first = text.data();
    const char* last = first + text.size();
    while (first < last && *first == ' ') {
        ++first;
    }
    while (last > first && last[-1] == ' ') {
        --last;
    }
    return {first, static_cast<std::size_t>(last - first)};
}

namespace {
constexpr unsigned char Upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 0x20);
    }
    // à..þ map to À..Þ, except the division sign ÷.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
        case 0x9A:
            return 0x8A;  // š
        case 0x9C:
            return 0x8C;  // œ
        case 0x9E:
            return 0x8E;  // ž
        case 0xFF:
            return 0x9F;  // ÿ
        default:
            return c;
    }
}

constexpr std::array<unsigned char, 256> kUpper1252 = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c) {
        table[c] = Upper1252(static_cast<unsigned char>(c));
    }
    return table;
}();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::string UpperCase1252(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(kUpper1252[static_cast<unsigned char>(c)]);
    }
    return result;
}

int CompareUpperCase1252(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int left = kUpper1252[static_cast<unsigned char>(a[i])];
        const int right = kUpper1252[static_cast<unsigned char>(b[i])];
        if (left != right) {
            return left - right;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string TextKey(std::string_view text) {
    return UpperCase1252(TrimSpaces(text));
}

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    const std::size_t start = i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    std::size_t fractionDigits = 0;
    std::uint64_t mantissa = 0;
    while (i < text.size() && IsDigit(text[i])) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++i;
            ++digits;
            ++fractionDigits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent counts only when digits follow it.
    bool exponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
            exponent = true;
        }
    }
    // With at most 15 digits and no exponent, the digits and the power of ten are exact
    // doubles, so one division rounds exactly as strtod does, without its cost.
    if (!exponent && digits <= 15) {
        static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
        return negative ? -value : value;
    }
    const std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

std::optional<std::int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value);  // the default mode rounds a half to even
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool HasExtension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size()) {
        return false;
    }
    const auto tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(tail[i]) != lower(extension[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace skedora
