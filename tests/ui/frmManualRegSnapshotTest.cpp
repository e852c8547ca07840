// The register window's Save, Load and Compare against the simulated sensor,
// and the copy of its listing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/RecordingFileDialogs.h"
#include "tests/ui/UiRig.h"
#include "ui/registers/frmManualReg.h"

namespace quenlor {
namespace {

class RegisterSnapshotTest : public ::testing::Test {
  protected:
    RegisterSnapshotTest() { window.useFileDialogs(dialogs); }

    void Write(std::int16_t index, const char* hex) {
        window.cmboRegister->setCurrentIndex(index);
        emit window.cmboRegister->activated(index);
        window.txtDataWrite->setText(hex);
        window.cmdWrite->click();
    }
    void Click(QPushButton* button, const std::filesystem::path& answer) {
        dialogs.answers.push_back(answer);
        button->click();
    }
    // The highlighted lines' texts.
    std::vector<std::string> Highlighted() const {
        std::vector<std::string> out;
        for (const auto& mark : window.txtUserReg->extraSelections())
            out.push_back(mark.cursor.block().text().toStdString());
        return out;
    }
    std::string LineOf(const char* label) const {
        std::istringstream in(window.listingText());
        for (std::string line; std::getline(in, line);)
            if (line.rfind(std::string(label) + " ", 0) == 0)
                return line;
        return {};
    }

    UiRig rig;
    RecordingFileDialogs dialogs;
    frmManualReg window{rig.ctx().registerWindow, nullptr};
    std::filesystem::path file = rig.dir() / "board.txt";
};

TEST_F(RegisterSnapshotTest, CompareShowsAChangedRegisterAndLoadRestoresIt) {
    Write(XACCL_NULL, "10");
    Click(window.cmdSave, file);
    ASSERT_TRUE(std::filesystem::exists(file));
    Write(XACCL_NULL, "1A");

    Click(window.cmdCompare, file);
    EXPECT_EQ(LineOf("XACCL_NULL"), "XACCL_NULL     \t12\t001A\t0010\t<>\r");
    ASSERT_EQ(Highlighted().size(), 1u);
    EXPECT_EQ(Highlighted()[0].rfind("XACCL_NULL", 0), 0u);
    // Outputs only when asked: they change by themselves.
    EXPECT_EQ(LineOf("XACCL_OUT"), "");
    window.chkCompareAll->setChecked(true);
    Click(window.cmdCompare, file);
    EXPECT_NE(LineOf("XACCL_OUT"), "");
    window.chkCompareAll->setChecked(false);

    // Refused first: nothing written; then confirmed.
    rig.messages().answers = {false, true};
    Click(window.cmdLoad, file);
    rig.registers().ReadRegister(XACCL_NULL);
    EXPECT_EQ(rig.registers().RegisterReadResult.Value, 0x1A);
    Click(window.cmdLoad, file);
    // The panel shows the loaded value, as the listing does.
    EXPECT_EQ(window.txtRegHex->text(), "10");
    // Only the register that changes is asked about, old and new in columns.
    ASSERT_EQ(rig.messages().boxes.size(), 2u);
    const std::string& question = rig.messages().boxes[1].text;
    EXPECT_NE(question.find("\nRegister    Now     Loaded\nXACCL_NULL  001A    0010"),
              std::string::npos)
        << question;
    EXPECT_EQ(std::count(question.begin(), question.end(), '\n'), 3) << question;
    // A second load changes nothing and says so.
    Click(window.cmdLoad, file);
    ASSERT_EQ(rig.messages().boxes.size(), 3u);
    EXPECT_NE(rig.messages().boxes[2].text.find("nothing is written"), std::string::npos);

    Click(window.cmdCompare, file);
    EXPECT_TRUE(Highlighted().empty());
    EXPECT_EQ(window.listingText().find("<>"), std::string::npos);
    EXPECT_EQ(LineOf("XACCL_NULL"), "XACCL_NULL     \t12\t0010\t0010\r");
    // Every dialog after the first opens where the last file was.
    EXPECT_EQ(dialogs.asked.back().folder, rig.dir());
}

TEST_F(RegisterSnapshotTest, AMalformedFileIsNamedWithItsLineAndNothingIsWritten) {
    Click(window.cmdSave, file);
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    // The same header as quenlor-cli's, dated by the clock seam.
    EXPECT_EQ(text.rfind("# Quenlor_Eval_Rev_2 register snapshot\r\n"
                         "# taken 2026-12-08 23:29:36\r\n"
                         "# interface USB, card Ezusb-0 (Tarrow)\r\n"
                         "# program quenlor-eval ",
                         0),
              0u)
        << text;
    const auto at = text.find("XACCL_NULL");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "NO_SUCH_REG");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    const std::uint64_t frames = rig.sensor().frameCount();

    rig.messages().answers = {true};
    Click(window.cmdLoad, file);
    EXPECT_EQ(rig.sensor().frameCount(), frames);
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    const std::string& message = rig.messages().boxes[0].text;
    EXPECT_NE(message.find("board.txt: line "), std::string::npos) << message;
    EXPECT_EQ(rig.messages().boxes[0].icon, MessageIcon::None);
}

TEST_F(RegisterSnapshotTest, TheListingIsCopiedAndSavedWithItsLineEnds) {
    window.cmdCopy->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), window.listingText());
    Click(window.cmdSaveText, rig.dir() / "listing.txt");
    std::ifstream in(rig.dir() / "listing.txt", std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(saved, window.listingText());
    EXPECT_NE(saved.find("SERIAL_NUM     \t"), std::string::npos);
}

}  // namespace
}  // namespace quenlor
