// The datalog run driven by a plain C++ host, as a caller without a window
// drives it, writes the very bytes the window writes for the same choices.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "datalog/DatalogHost.h"
#include "datalog/DatalogRun.h"
#include "tests/ui/UiRig.h"
#include "ui/datalog/frmDatalog.h"

namespace fs = std::filesystem;
using namespace quenlor;

namespace {

class PlainHost : public DatalogHost {
  public:
    std::array<bool, 8> selected{};
    bool noScale = false;
    std::string delay = "0";
    std::vector<std::int64_t> filesBegun;

    bool IsSelected(int index) override { return selected[static_cast<std::size_t>(index - 1)]; }
    bool NoScale() override { return noScale; }
    std::string SampleDelayText() override { return delay; }
    bool CancelRequested() override { return false; }
    void RunBegun(const std::string&) override {}
    void FileBegun(std::int64_t file, std::int64_t, std::int64_t) override {
        filesBegun.push_back(file);
    }
    void SampleTaken(std::int64_t) override {}
    void RunEnded() override {}
    void Yield() override {}
};

struct Choice {
    const char* samples;
    const char* files;
    std::vector<int> boxes;
    bool noScale;
    bool noHeader;
    const char* decimal;
    const char* baseName = "RUN";  // UTF-8
};

std::map<std::string, std::string> TakeFiles(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() == "QuenlorEval.ini")  // the window's choices
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    for (const auto& [name, bytes] : files)
        fs::remove(dir / name);
    return files;
}

void RunInWindow(UiRig& rig, const Choice& c) {
    QPushButton readButton;
    frmDatalog window(rig.ctx().datalog, readButton);
    window.findChild<QLineEdit*>("txtSamplesPerFile")->setText(QString::fromLatin1(c.samples));
    window.findChild<QLineEdit*>("txtFilesPerSession")->setText(QString::fromLatin1(c.files));
    window.findChild<QLineEdit*>("txtFileName")->setText(QString::fromUtf8(c.baseName));
    for (int i = 1; i <= 8; ++i) {
        const bool ticked = std::find(c.boxes.begin(), c.boxes.end(), i) != c.boxes.end();
        window.findChild<QCheckBox*>(QStringLiteral("CheckReg_%1").arg(i))->setChecked(ticked);
    }
    window.findChild<QCheckBox*>("ckNOScale")->setChecked(c.noScale);
    window.findChild<QCheckBox*>("ckNOHeader")->setChecked(c.noHeader);
    window.findChild<QPushButton*>("cmdStartDatalog")->click();
}

void RunWithoutWindow(UiRig& rig, const Choice& c, PlainHost& host) {
    for (int box : c.boxes)
        host.selected[static_cast<std::size_t>(box - 1)] = true;
    host.noScale = c.noScale;
    DatalogContext& ctx = rig.ctx().datalog;
    DatalogRun run({ctx.registers, ctx.delay, ctx.clock, ctx.locale, ctx.messages, ctx.appDir},
                   host);
    ASSERT_TRUE(run.Prepare({c.baseName, c.samples, c.files, c.noHeader}));
    run.RunDatalog();
}

TEST(DatalogWithoutWindow, WritesTheWindowsFilesByteForByte) {
    const Choice choices[] = {
        {"3", "2", {1, 2, 5}, false, false, "."},
        {"2.5", "1", {2, 8}, true, true, "."},
        {"4", "2", {3, 6, 7}, false, false, ","},
        // Beyond ASCII: the header names the file in single-byte text.
        {"1", "1", {4}, false, false, ".", "Messung_\xC2\xB5\xE2\x82\xAC"},
    };
    for (const Choice& c : choices) {
        UiRig rig;
        rig.settings().DelayCalibrated = true;
        rig.setSimStep(0.0);
        const std::uint16_t words[] = {21626, 16384, 0xC000, 123, 40, 0x1FFF, 0x3001, 7};
        for (int i = 0; i < 8; ++i)
            rig.sensor().pokeWord(static_cast<std::uint8_t>(2 + 2 * i), words[i]);
        rig.locale().separator = c.decimal;
        rig.clock().script = {100.5f, 102.75f, 200.0f, 201.25f};

        RunInWindow(rig, c);
        const auto byWindow = TakeFiles(rig.dir());
        rig.clock().reads = 0;
        PlainHost host;
        RunWithoutWindow(rig, c, host);
        const auto byHost = TakeFiles(rig.dir());

        EXPECT_EQ(byWindow.size(), std::string(c.files) == "2" ? 2u : 1u) << c.samples;
        EXPECT_FALSE(byWindow.begin()->second.empty());
        EXPECT_EQ(byHost, byWindow) << c.samples;
        EXPECT_EQ(host.filesBegun.size(), byWindow.size());
        if (std::string(c.baseName) != "RUN") {
            EXPECT_TRUE(byHost.begin()->second.starts_with("File Name,Messung_\xB5?_1.csv\r\n"));
        }
        EXPECT_TRUE(rig.messages().boxes.empty());
    }
}

}  // namespace
