#include <cstdint>
#include <string>

#include "model/text.h"
#include "os/file_contents.h"
#include "settings/item_reader.h"
#include "settings/settings_layout.h"
#include "settings/settings_store.h"

namespace skedora {

namespace {
// The older file holds 24 entries of every list but the change-time one.
constexpr int kOldListEntries = 24;
constexpr std::size_t kOldTextLength = 25;

class OldItems {
  public:
    explicit OldItems(std::string_view bytes) : m_reader(bytes) {}

    void Skip() { m_reader.Next(); }
    /** Cut to 25 characters first, then stripped, so blanks inside quotes go too. */
    std::string Text() {
        const std::string item = m_reader.Next();
        return std::string(TrimSpaces(std::string_view(item).substr(0, kOldTextLength)));
    }
    std::int16_t Math() {
        const std::string item = m_reader.Next();
        const double value = LeadingNumber(std::string_view(item).substr(0, kOldTextLength));
        return RoundToInt16(value).value_or(-1);
    }
    bool Flag() { return LeadingNumber(m_reader.Next()) == 1.0; }
    std::string Raw() { return m_reader.Next(); }

  private:
    ItemReader m_reader;
};
}  // namespace

void ImportOldSettings(const std::filesystem::path& home, RuleSet& rules) {
    std::string bytes;
    if (ReadFileIfPresent(OldSettingsFilePath(home), bytes)) {
        bytes.clear();  // unreadable: every item counts as empty
    }
    ImportOldSettingsText(bytes, rules);
}

void ImportOldSettingsText(std::string_view text, RuleSet& rules) {
    OldItems items(text);
    items.Skip();  // the header item
    for (int n = 1; n <= kOldListEntries; ++n) {
        auto& rule = rules.DeleteCallLetterRules[n];
        rule.CallLetter = items.Text();
        rule.CONumber = items.Text();
    }
    for (int n = 1; n <= kOldListEntries; ++n) {
        auto& rule = rules.ChangeCOFromCallLetterRules[n];
        rule.CallLetter = items.Text();
        rule.OldCO = items.Text();
        rule.NewCO = items.Text();
    }
    for (int n = 1; n <= kOldListEntries; ++n) {
        auto& rule = rules.ChangeCallLetterRules[n];
        rule.OldCallLetter = items.Text();
        rule.CO = items.Text();
        rule.NewCallLetter = items.Text();
    }
    for (int n = 1; n <= kOldListEntries; ++n) {
        auto& rule = rules.DeleteSourceDestinationRules[n];
        rule.Source = items.Text();
        rule.Destination = items.Text();
    }
    for (int n = 1; n <= kOldListEntries; ++n) {
        auto& rule = rules.ChangeCOFromDescriptionRules[n];
        rule.ProgramDescription = items.Text();
        rule.OldCO = items.Text();
        rule.NewCO = items.Text();
    }
    for (auto& rule : rules.ChangeTimeRules) {
        rule.Source = items.Text();
        rule.Destination = items.Text();
        rule.CO = items.Text();
        rule.Description = items.Text();
        rule.Math = items.Math();
        rule.Time = items.Text();
    }
    rules.DeleteAllFlags.AllHD = items.Flag();
    rules.DeleteAllFlags.AllSD = items.Flag();
    rules.DeleteAllFlags.AllDigital = items.Flag();
    rules.DeleteAllFlags.AllNonDigital = items.Flag();
    rules.AutoLoadSettings.DBF = items.Flag();
    rules.AutoLoadSettings.Path = items.Raw();
    if (rules.AutoLoadSettings.Path.empty()) {
        rules.AutoLoadSettings.Path = DefaultWatchFolder();
    }
    rules.AutoLoadSettings.CSV = items.Flag();
    ResetMalformedChangeTimes(rules);
}

}  // namespace skedora
