#pragma once

#include <string>

#include "model/rule_set.h"

namespace skedora::test {

/** Every text filled and distinct, with 8-bit bytes and INI punctuation inside values. */
inline RuleSet FilledRuleSet() {
    RuleSet rules;
    auto text = [](const char* stem, int n) { return stem + std::to_string(n) + "\xE9-x"; };
    for (int n = 1; n <= 64; ++n) {
        rules.DeleteCallLetterRules[n] = {text("DCL", n), std::to_string(1000 + n)};
    }
    for (int n = 1; n <= 48; ++n) {
        rules.DeleteSourceDestinationRules[n] = {text("SRC", n), text("DST", n)};
    }
    rules.DeleteAllFlags = {true, true, false, true};
    for (int n = 1; n <= 24; ++n) {
        rules.ChangeCOFromCallLetterRules[n] = {text("CCL", n), text("O", n), text("N", n)};
        rules.ChangeCallLetterRules[n] = {text("OCL", n), text("CO", n), text("NCL", n)};
        rules.ChangeCOFromDescriptionRules[n] = {"NEWS = " + std::to_string(n) + "; [LIVE] caf\xE9",
                                                 text("DO", n), text("DN", n)};
    }
    const std::int16_t maths[] = {0, 1, 2, 3, -1, 7, -32768, 32767};
    for (int n = 1; n <= 8; ++n) {
        rules.ChangeTimeRules[n] = {text("TS", n), text("TD", n),
                                    text("TC", n), "Desc \xFF " + std::to_string(n),
                                    maths[n - 1],  "0" + std::to_string(n) + ":15:00"};
    }
    rules.AutoLoadSettings = {"/watch/in/", "/watch/out/", true, true, false, true};
    return rules;
}

}  // namespace skedora::test
