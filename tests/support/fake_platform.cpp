#include "support/fake_platform.h"

namespace skedora::test {

namespace {
const char* LabelName(StatusLabel label) {
    switch (label) {
        case StatusLabel::lblRECNUM:
            return "lblRECNUM";
        case StatusLabel::lblCLTO:
            return "lblCLTO";
        case StatusLabel::lblCLFROM:
            return "lblCLFROM";
        case StatusLabel::lblCO:
            return "lblCO";
        case StatusLabel::lblDESC:
            return "lblDESC";
        case StatusLabel::lblFILE:
            return "lblFILE";
    }
    return "?";
}
}  // namespace

std::string CaptionText(StatusLabel label, int index, std::string_view caption) {
    return std::string(LabelName(label)) + "(" + std::to_string(index) +
           ")=" + std::string(caption);
}

void CaptionRecorder::SetCaption(StatusLabel label, int index, std::string_view caption) {
    changes.push_back(CaptionText(label, index, caption));
    m_current[static_cast<int>(label)][index - 1] = caption;
}

std::string CaptionRecorder::Caption(StatusLabel label, int index) const {
    return m_current[static_cast<int>(label)][index - 1];
}

std::optional<ChosenFile> FakeChooser::ChooseFile(std::string_view filter) {
    ++shown;
    lastFilter = filter;
    if (whileShown) {
        whileShown();
    }
    return answer;
}

MaybeError TestFileSystem::DeleteFile(const std::string& path) {
    if (failingDeletes.contains(path)) {
        return errors::PathFileAccess("cannot delete " + path);
    }
    deleted.push_back(path);
    return PosixFileSystem::DeleteFile(path);
}

FakeClock::FakeClock() : now(std::chrono::system_clock::now() + std::chrono::hours(1)) {}

void RecordingListener::JobStarted(const std::string& input, const std::string& output) {
    lines.push_back("started " + input + " -> " + output);
}

void RecordingListener::JobEnded(const JobReport& report) {
    reports.push_back(report);
    lines.push_back((report.failure ? "failed " : "ended ") + report.input + " -> " +
                    report.output);
}

void RecordingListener::JobSetUpFailed(const std::string& input, const Error& error) {
    lines.push_back("set-up failed " + input + ": " + std::to_string(error.number));
}

int RunJob(Application& app, int limit) {
    int ticks = 0;
    while (app.IsJobRunning() && ticks < limit) {
        app.ConversionTick();
        ++ticks;
    }
    return ticks;
}

}  // namespace skedora::test
