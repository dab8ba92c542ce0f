#pragma once

#include <filesystem>
#include <string>

namespace skedora::cli {

struct ExplainOptions {
    std::filesystem::path home;
    std::string format = "text";
    std::string schedule;
};

/** Why every event of the schedule goes the way it does under SK.ini; nothing is written. */
int RunExplain(const ExplainOptions& options);

}  // namespace skedora::cli
