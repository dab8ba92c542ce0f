#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace skedora::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliTestBase : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* cli = std::getenv("SKEDORA_CLI");
        ASSERT_NE(cli, nullptr) << "SKEDORA_CLI names the program under test";
        m_cli = cli;
    }

    /** Runs the program in the data folder with the arguments (shell words) after shellPrefix. */
    CliResult Run(const std::string& arguments, const std::string& shellPrefix = "") const {
        const std::string command = "cd '" + m_data.path().string() + "' && " + shellPrefix + "'" +
                                    m_cli + "' " + arguments + " >'" +
                                    m_scratch.file("out").string() + "' 2>'" +
                                    m_scratch.file("err").string() + "' </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_scratch.file("out")),
                ReadFile(m_scratch.file("err"))};
    }
    std::string Home() const { return " --home '" + m_home.path().string() + "' "; }

    void SaveWatchRules(bool deleteOn) const {
        RuleSet rules;
        rules.AutoLoadSettings = {
            m_watch.folderText(), m_out.folderText(), true, true, deleteOn, false};
        ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    }

    /** Writes a schedule into the watch folder, already past its quiet period. */
    void Drop(const std::string& name, const std::string& bytes) const {
        WriteFile(m_watch.file(name), bytes);
        std::filesystem::last_write_time(
            m_watch.file(name),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    std::string m_cli;
    TempDir m_home, m_data, m_watch, m_out, m_scratch;
};

}  // namespace skedora::test
