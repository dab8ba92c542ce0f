#pragma once

#include <string>

#include "model/rule_set.h"

namespace skedora {

/** "Stem" followed by n in decimal: the key of entry n of a list. */
inline std::string NumberedKey(const char* stem, int n) {
    return stem + std::to_string(n);
}

/**
 * Hands the visitor every key of SK.ini except "Version", in the order a new file holds them,
 * each with the RuleSet member it holds. Rules is RuleSet for loading, const RuleSet for saving.
 * The visitor has Text(section, key, text), Flag(section, key, flag, default),
 * Math(section, key, number) and Folder(section, key, text, default).
 */
template <typename Rules, typename Visitor>
void VisitSettingsKeys(Rules& rules, Visitor& visit, const std::string& defaultFolder) {
    for (int n = 1; n <= rules.DeleteCallLetterRules.kSize; ++n) {
        auto& rule = rules.DeleteCallLetterRules[n];
        visit.Text("Delete", NumberedKey("Call_Letter_", n), rule.CallLetter);
        visit.Text("Delete", NumberedKey("CO_Number_", n), rule.CONumber);
    }
    for (int n = 1; n <= rules.DeleteSourceDestinationRules.kSize; ++n) {
        auto& rule = rules.DeleteSourceDestinationRules[n];
        visit.Text("Delete", NumberedKey("Source_", n), rule.Source);
        visit.Text("Delete", NumberedKey("Destination_", n), rule.Destination);
    }
    auto& flags = rules.DeleteAllFlags;
    visit.Flag("Delete", "All_HD", flags.AllHD, false);
    visit.Flag("Delete", "All_SD", flags.AllSD, false);
    visit.Flag("Delete", "All_Digital", flags.AllDigital, false);
    visit.Flag("Delete", "All_Non_Digital", flags.AllNonDigital, false);

    for (int n = 1; n <= rules.ChangeCOFromCallLetterRules.kSize; ++n) {
        auto& rule = rules.ChangeCOFromCallLetterRules[n];
        const char* section = "Change_CO_From_Call_Letter";
        visit.Text(section, NumberedKey("Call_Letter_", n), rule.CallLetter);
        visit.Text(section, NumberedKey("Old_CO_", n), rule.OldCO);
        visit.Text(section, NumberedKey("New_CO_", n), rule.NewCO);
    }
    for (int n = 1; n <= rules.ChangeCallLetterRules.kSize; ++n) {
        auto& rule = rules.ChangeCallLetterRules[n];
        const char* section = "Change_Call_Letter";
        visit.Text(section, NumberedKey("Old_Call_Letter_", n), rule.OldCallLetter);
        visit.Text(section, NumberedKey("CO_", n), rule.CO);
        visit.Text(section, NumberedKey("New_Call_Letter_", n), rule.NewCallLetter);
    }
    for (int n = 1; n <= rules.ChangeCOFromDescriptionRules.kSize; ++n) {
        auto& rule = rules.ChangeCOFromDescriptionRules[n];
        const char* section = "Change_CO_From_Description";
        visit.Text(section, NumberedKey("Program_Description_", n), rule.ProgramDescription);
        visit.Text(section, NumberedKey("Old_CO_", n), rule.OldCO);
        visit.Text(section, NumberedKey("New_CO_", n), rule.NewCO);
    }
    for (int n = 1; n <= rules.ChangeTimeRules.kSize; ++n) {
        auto& rule = rules.ChangeTimeRules[n];
        const char* section = "Change_Time";
        visit.Text(section, NumberedKey("Source_", n), rule.Source);
        visit.Text(section, NumberedKey("Destination_", n), rule.Destination);
        visit.Text(section, NumberedKey("CO_", n), rule.CO);
        visit.Text(section, NumberedKey("Description_", n), rule.Description);
        visit.Math(section, NumberedKey("Math_", n), rule.Math);
        visit.Text(section, NumberedKey("Time_", n), rule.Time);
    }

    auto& autoLoad = rules.AutoLoadSettings;
    visit.Folder("Auto_Load", "Path", autoLoad.Path, defaultFolder);
    // The output folder defaults to the watch folder just read.
    visit.Folder("Auto_Load", "Out_Path", autoLoad.OutPath, autoLoad.Path);
    visit.Flag("Auto_Load", "DBF", autoLoad.DBF, false);
    visit.Flag("Auto_Load", "CSV", autoLoad.CSV, false);
    visit.Flag("Auto_Load", "Delete", autoLoad.Delete, true);
    visit.Flag("Auto_Load", "Prefix_Date", autoLoad.PrefixDate, false);
}

/** A change-time amount must be a time text of eight characters; any other becomes midnight. */
inline void ResetMalformedChangeTimes(RuleSet& rules) {
    for (auto& rule : rules.ChangeTimeRules) {
        if (rule.Time.size() != 8) {
            rule.Time = "00:00:00";
        }
    }
}

}  // namespace skedora
