#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace skedora {

/** A rule list of fixed size whose entries are numbered from 1, as the settings file numbers them.
 */
template <typename Entry, int Size>
class RuleList {
  public:
    static constexpr int kSize = Size;

    Entry& operator[](int n) { return m_entries.at(static_cast<std::size_t>(n - 1)); }
    const Entry& operator[](int n) const { return m_entries.at(static_cast<std::size_t>(n - 1)); }

    auto begin() { return m_entries.begin(); }
    auto end() { return m_entries.end(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

    bool operator==(const RuleList&) const = default;

  private:
    std::array<Entry, Size> m_entries{};
};

struct DeleteCallLetterRule {
    std::string CallLetter;
    std::string CONumber;
    bool operator==(const DeleteCallLetterRule&) const = default;
};

struct DeleteSourceDestinationRule {
    std::string Source;
    std::string Destination;
    bool operator==(const DeleteSourceDestinationRule&) const = default;
};

/** The four switches of the Delete Events dialog; any combination may be set. */
struct DeleteAllFlagsGroup {
    bool AllHD = false;
    bool AllSD = false;
    bool AllDigital = false;
    bool AllNonDigital = false;
    bool operator==(const DeleteAllFlagsGroup&) const = default;
};

struct ChangeCOFromCallLetterRule {
    std::string CallLetter;
    std::string OldCO;
    std::string NewCO;
    bool operator==(const ChangeCOFromCallLetterRule&) const = default;
};

struct ChangeCallLetterRule {
    std::string OldCallLetter;
    std::string CO;
    std::string NewCallLetter;
    bool operator==(const ChangeCallLetterRule&) const = default;
};

struct ChangeCOFromDescriptionRule {
    std::string ProgramDescription;
    std::string OldCO;
    std::string NewCO;
    bool operator==(const ChangeCOFromDescriptionRule&) const = default;
};

/** Math: 0 add to start, 1 subtract from start, 2 add to end, 3 subtract from end; else nothing. */
struct ChangeTimeRule {
    std::string Source;
    std::string Destination;
    std::string CO;
    std::string Description;
    std::int16_t Math = 0;
    std::string Time;
    bool operator==(const ChangeTimeRule&) const = default;
};

/** Watch folder, output folder and switches of the automatic conversion. */
struct AutoLoadSettingsGroup {
    std::string Path;
    std::string OutPath;
    bool DBF = false;
    bool CSV = false;
    bool Delete = false;
    bool PrefixDate = false;
    bool operator==(const AutoLoadSettingsGroup&) const = default;
};

/** Every user rule and auto-load setting. Starts empty: texts empty, flags false, numbers 0. */
struct RuleSet {
    RuleList<DeleteCallLetterRule, 64> DeleteCallLetterRules;
    RuleList<DeleteSourceDestinationRule, 48> DeleteSourceDestinationRules;
    DeleteAllFlagsGroup DeleteAllFlags;
    RuleList<ChangeCOFromCallLetterRule, 24> ChangeCOFromCallLetterRules;
    RuleList<ChangeCallLetterRule, 24> ChangeCallLetterRules;
    RuleList<ChangeCOFromDescriptionRule, 24> ChangeCOFromDescriptionRules;
    RuleList<ChangeTimeRule, 8> ChangeTimeRules;
    AutoLoadSettingsGroup AutoLoadSettings;

    bool operator==(const RuleSet&) const = default;
};

/** Entries 25 to 48 of DeleteSourceDestinationRules are stored but never shown or applied. */
inline constexpr int kAppliedSourceDestinationRules = 24;

}  // namespace skedora
