#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/UiRig.h"
#include "ui/datalog/frmDatalog.h"

namespace fs = std::filesystem;
using namespace quenlor;

namespace {

const std::string kFileAccess1 = "\r\nFILE ACCESS ERROR\r\n\r\nFile name = ";
const std::string kFileAccess2 =
    "\r\n\r\nThis file may already be open by another application.\r\n\r\nClose the file or "
    "choose a different file name.";

// XACCL_OUT at 16384 LSB reads 0.999424 g; SUPPLY_OUT at 21626 LSB 3.300128 V.
constexpr std::uint16_t kXAccl = 16384;
constexpr std::uint16_t kSupply = 21626;

class DatalogWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.settings().DelayCalibrated = true;
        rig.settings().DelayCount10us = 1;
        // The sensor's clock stands still, so every reading returns the words set here.
        rig.setSimStep(0.0);
        rig.sensor().pokeWord(SimSensor::kXAcclOut, kXAccl);
        rig.sensor().pokeWord(SimSensor::kSupplyOut, kSupply);
        rig.clock().script = {100.5f, 102.75f, 200.0f, 201.25f, 300.0f, 300.5f};
        rig.messages().clear();
    }

    frmDatalog& Open() {
        window = std::make_unique<frmDatalog>(rig.ctx().datalog, readButton);
        window->show();
        return *window;
    }
    template <class T>
    T* Child(const QString& name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(QString::fromLatin1(name)); }
    QCheckBox* Box(int index) { return Child<QCheckBox>(QStringLiteral("CheckReg_%1").arg(index)); }
    QPushButton* StartButton() { return Child<QPushButton>(QStringLiteral("cmdStartDatalog")); }
    void Configure(const char* samples, const char* files) {
        Edit("txtSamplesPerFile")->setText(QString::fromLatin1(samples));
        Edit("txtFilesPerSession")->setText(QString::fromLatin1(files));
    }
    // Runs `action` just before the run's yield in file `f` after sample `s`
    // (0: after the file was opened); the progress bar moves there.
    void AtYield(int f, int s, std::function<void()> action) {
        QObject::connect(Child<QProgressBar>(QStringLiteral("prgDatalog")),
                         &QProgressBar::valueChanged, window.get(),
                         [this, f, s, action](int value) {
                             if (value == s && Edit("txtFileNum")->text().toInt() == f)
                                 action();
                         });
    }
    // A click that reaches the window through the event queue, as a user's does.
    void QueueClick() {
        QMetaObject::invokeMethod(StartButton(), &QAbstractButton::click, Qt::QueuedConnection);
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(rig.dir() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const { return fs::exists(rig.dir() / name); }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(rig.dir())) {
            // The window's own choices are kept in the same folder here.
            if (e.path().filename() != "QuenlorEval.ini")
                names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Header(const std::string& name, const char* begin, const char* end,
                              const char* elapsed, const std::string& columns,
                              const std::string& sep = ",") {
        return "File Name" + sep + name + "\r\nDate" + sep + "07/12/2026\r\nTime" + sep +
               "05:30:00\r\nBegin Seconds" + sep + begin + "\r\nEnd Seconds" + sep + end +
               "\r\nElapsed Seconds" + sep + elapsed + "\r\n \r\nSample #" + sep + columns + "\r\n";
    }
    static std::string Lines(int count, const std::string& values, const std::string& sep = ",") {
        std::string out;
        for (int s = 1; s <= count; ++s)
            out += std::to_string(s) + sep + values + "\r\n";
        return out;
    }
    void ExpectIdle() {
        EXPECT_FALSE(window->IsRunning());
        EXPECT_EQ(StartButton()->text(), "Start Datalog");
        EXPECT_TRUE(StartButton()->isEnabled());
        EXPECT_TRUE(Child<QLabel>(QStringLiteral("LBLDatalogInProgress"))->isHidden());
        for (int i = 1; i <= 8; ++i)
            EXPECT_TRUE(Box(i)->isEnabled());
        EXPECT_TRUE(Edit("txtSamplesPerFile")->isEnabled());
        EXPECT_TRUE(Edit("txtFileName")->isEnabled());
        EXPECT_TRUE(Child<QCheckBox>(QStringLiteral("ckNOHeader"))->isEnabled());
    }

    UiRig rig;
    QPushButton readButton{QStringLiteral("STOP")};
    std::unique_ptr<frmDatalog> window;
};

TEST_F(DatalogWindow, OpensWithItsInitialValues) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Datalog Control");
    EXPECT_TRUE(window->isModal());
    EXPECT_EQ(readButton.text(), "Read");
    EXPECT_EQ(Edit("txtSamplesPerFile")->text(), "1000");
    EXPECT_EQ(window->SamplesPerFileValue(), 1000.0);
    EXPECT_EQ(Edit("txtSampleDelay")->text(), "0");
    EXPECT_EQ(Edit("txtFilesPerSession")->text(), "1");
    EXPECT_EQ(Edit("txtFileName")->text(), "DATALOG");
    EXPECT_EQ(window->BaseName(), "DATALOG");
    EXPECT_EQ(Edit("txtFileNum")->text(), "1");
    EXPECT_FALSE(Edit("txtFileNum")->isEnabled());
    EXPECT_EQ(Edit("txtDirectory")->text().toStdString(), rig.dir().string());
    EXPECT_EQ(Child<QLabel>(QStringLiteral("lblFext"))->text(), ".csv");
    EXPECT_FALSE(Child<QCheckBox>(QStringLiteral("ckNOScale"))->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(QStringLiteral("ckNOHeader"))->isChecked());
    const char* captions[] = {"SUPPLY_OUT", "XACCL_OUT", "YACCL_OUT", "ZACCL_OUT",
                              "TEMP_OUT",   "XINCL_OUT", "YINCL_OUT", "ZINCL_OUT"};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(Box(i)->text(), captions[i - 1]);
        EXPECT_EQ(Box(i)->isChecked(), i == 2) << i;
        EXPECT_FALSE(Box(i)->isHidden()) << i;
    }
    EXPECT_TRUE(Child<QLabel>(QStringLiteral("LBLDatalogInProgress"))->isHidden());
    EXPECT_EQ(StartButton()->text(), "Start Datalog");

    rig.locale().separator = ",";
    Open();
    EXPECT_EQ(Child<QLabel>(QStringLiteral("lblFext"))->text(), ".txt");
    EXPECT_EQ(window->FieldSeparator(), "\t");
}

TEST_F(DatalogWindow, ChangeRulesReplaceWrongInput) {
    Open();
    struct Case {
        const char* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"txtSamplesPerFile", "abc", "1000"},
        {"txtSamplesPerFile", "0", "1"},
        {"txtSamplesPerFile", "-5", "1"},
        {"txtSamplesPerFile", "3e9", "2147483647"},
        {"txtSamplesPerFile", "", "1000"},
        {"txtSamplesPerFile", "2.5", "2.5"},
        {"txtSamplesPerFile", "2147483647", "2147483647"},
        {"txtSampleDelay", "32001", "32000"},
        {"txtSampleDelay", "-1", "0"},
        {"txtSampleDelay", "", "0"},
        {"txtSampleDelay", "x", "0"},
        {"txtSampleDelay", "2.5", "2.5"},
        {"txtFilesPerSession", "0", "1"},
        {"txtFilesPerSession", "3e9", "2000000000"},
        {"txtFilesPerSession", "", "1"},
        {"txtFilesPerSession", "abc", "1"},
        {"txtFilesPerSession", "7", "7"},
    };
    for (const Case& c : cases) {
        QLineEdit* edit = Edit(c.box);
        edit->setText(QStringLiteral("42"));
        edit->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text().toStdString(), c.shown) << c.box << " typed " << c.typed;
    }
    Edit("txtSamplesPerFile")->setText(QStringLiteral("2.5"));
    EXPECT_EQ(window->SamplesPerFileValue(), 2.5);
    Edit("txtSamplesPerFile")->setText(QStringLiteral("-5"));
    EXPECT_EQ(window->SamplesPerFileValue(), 1.0);
    Edit("txtSamplesPerFile")->setText(QStringLiteral("abc"));
    EXPECT_EQ(window->SamplesPerFileValue(), 1000.0);
    // The locale's group separator groups thousands.
    for (const auto& [typed, value] : std::vector<std::pair<const char*, double>>{
             {"1,000", 1000.0}, {"1,000,000", 1e6}, {"2,500.5", 2500.5}}) {
        Edit("txtSamplesPerFile")->setText(QString::fromLatin1(typed));
        EXPECT_EQ(Edit("txtSamplesPerFile")->text(), typed);
        EXPECT_EQ(window->SamplesPerFileValue(), value) << typed;
    }

    Edit("txtDirectory")->setText(QStringLiteral("/elsewhere"));
    EXPECT_EQ(Edit("txtDirectory")->text().toStdString(), rig.dir().string());
    Edit("txtFileName")->setText(QStringLiteral("RUN7"));
    EXPECT_EQ(window->BaseName(), "RUN7");
    Edit("txtFileName")->setText(QString());
    EXPECT_EQ(window->BaseName(), "");
}

TEST_F(DatalogWindow, ChangeRulesFollowACommaDecimalSeparator) {
    rig.locale().separator = ",";
    Open();
    // "2,5" is a number here, yet its leading number read with "." is 2.
    Edit("txtSamplesPerFile")->setText(QStringLiteral("2,5"));
    EXPECT_EQ(Edit("txtSamplesPerFile")->text(), "2,5");
    EXPECT_EQ(window->SamplesPerFileValue(), 2.0);
    Edit("txtSampleDelay")->setText(QStringLiteral("0,5"));
    EXPECT_EQ(Edit("txtSampleDelay")->text(), "0,5");
    // "." groups thousands here.
    Edit("txtSamplesPerFile")->setText(QStringLiteral("1.000"));
    EXPECT_EQ(Edit("txtSamplesPerFile")->text(), "1.000");
    EXPECT_EQ(window->SamplesPerFileValue(), 1000.0);
    // A comma after a comma is no number under this separator.
    Edit("txtFilesPerSession")->setText(QStringLiteral("3,5,1"));
    EXPECT_EQ(Edit("txtFilesPerSession")->text(), "1");
    Edit("txtSamplesPerFile")->setText(QStringLiteral("abc"));
    EXPECT_EQ(Edit("txtSamplesPerFile")->text(), "1000");
}

TEST_F(DatalogWindow, ProductWithoutYAndZHidesTheirBoxesOnly) {
    rig.settings().ProductNumber = 24613;
    Open();
    Box(3)->setChecked(true);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(Box(i)->isHidden(), i == 3 || i == 4) << i;
    EXPECT_TRUE(Box(3)->isChecked()) << "hiding keeps the tick";

    rig.settings().ProductNumber = 24614;
    Open();
    for (int i = 1; i <= 8; ++i)
        EXPECT_FALSE(Box(i)->isHidden()) << i;
}

TEST_F(DatalogWindow, EmptySelectionStartsNothing) {
    Open();
    Box(2)->setChecked(false);
    StartButton()->click();
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    EXPECT_EQ(rig.messages().boxes[0].text, "Please check at least one DATA SELECTION box.");
    EXPECT_EQ(rig.messages().boxes[0].title, kAppTitle);
    EXPECT_EQ(StartButton()->text(), "Start Datalog");
    EXPECT_TRUE(Entries().empty());
}

TEST_F(DatalogWindow, TwoFilesOfThreeSamplesAndASecondRunReplacingThem) {
    Open();
    Configure("3", "2");
    std::vector<bool> busyStates;
    AtYield(1, 0, [&] {
        busyStates = {Child<QLabel>(QStringLiteral("LBLDatalogInProgress"))->isVisible(),
                      Box(1)->isEnabled(),
                      Box(8)->isEnabled(),
                      Edit("txtSamplesPerFile")->isEnabled(),
                      Edit("txtDirectory")->isEnabled(),
                      Edit("txtFileName")->isEnabled(),
                      Child<QCheckBox>(QStringLiteral("ckNOScale"))->isEnabled(),
                      StartButton()->isEnabled() && StartButton()->text() == "Cancel Datalog"};
    });
    StartButton()->click();

    EXPECT_EQ(busyStates,
              (std::vector<bool>{true, false, false, false, false, false, false, true}));
    EXPECT_TRUE(rig.messages().boxes.empty());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv"}));
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(3, "0.999424,"));
    EXPECT_EQ(
        Read("DATALOG_2.csv"),
        Header("DATALOG_2.csv", "200", "201.25", "1.25", "XACCL_OUT,") + Lines(3, "0.999424,"));
    EXPECT_EQ(Edit("txtFileNum")->text(), "2");
    ExpectIdle();

    // A second run asks before it replaces the first run's files, Cancel
    // being the default; cancelled, it leaves them as they were.
    const std::string first = Read("DATALOG_1.csv");
    rig.clock().script.clear();
    rig.clock().now = 7.0f;
    Configure("1", "2");
    Box(1)->setChecked(true);
    StartButton()->click();
    ASSERT_EQ(rig.messages().cancelDefault.size(), 1u);
    EXPECT_EQ(rig.messages().cancelDefault[0],
              "This run would replace 2 files of an earlier run, the first of them "
              "DATALOG_1.csv.\n\nReplace them?");
    EXPECT_EQ(Read("DATALOG_1.csv"), first);
    ExpectIdle();

    // Allowed, a shorter run replaces the files of the same names.
    rig.messages().answers = {true, true};
    Configure("1", "1");
    StartButton()->click();
    ASSERT_EQ(rig.messages().cancelDefault.size(), 2u);
    EXPECT_NE(rig.messages().cancelDefault[1].find("1 file of an earlier run, DATALOG_1.csv."),
              std::string::npos);
    EXPECT_EQ(Read("DATALOG_1.csv"),
              Header("DATALOG_1.csv", "7", "7", "0", "SUPPLY_OUT,XACCL_OUT,") +
                  Lines(1, "3.300128,0.999424,"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv"}));
}

// Paced, each row is the sensor's next reading: none repeated, none skipped.
TEST_F(DatalogWindow, APacedRunTakesEachSensorSampleOnce) {
    rig.setSimStep(0.0001);  // the sensor runs, with its noise
    Open();
    Configure("200", "1");
    for (int i : {2, 3, 4, 6})
        Box(i)->setChecked(true);
    Child<QCheckBox>(QStringLiteral("ckPaced"))->setChecked(true);
    rig.sensor().resetReadyWatch();
    StartButton()->click();

    std::vector<std::string> rows;
    std::istringstream in(Read("DATALOG_1.csv"));
    for (std::string line; std::getline(in, line);)
        rows.push_back(line.substr(std::min(line.find(','), line.size())));
    ASSERT_EQ(rows.size(), 8u + 200u);
    for (std::size_t r = 9; r < rows.size(); ++r)
        EXPECT_NE(rows[r], rows[r - 1]) << r;
    EXPECT_EQ(rig.sensor().readyWatch().seen, 200u);
    EXPECT_EQ(rig.sensor().readyWatch().missed(), 0u);
}

// The next opening, in this run of the program or a later one, brings the
// window back as it was left; a damaged file of choices gives the defaults.
TEST_F(DatalogWindow, ChoicesComeBackUnlessTheirFileIsDamaged) {
    Open();
    Configure("250", "3");
    Edit("txtSampleDelay")->setText("2.5");
    Edit("txtFileName")->setText("RUN");
    Box(2)->setChecked(false);
    Box(5)->setChecked(true);
    Child<QCheckBox>(QStringLiteral("ckPaced"))->setChecked(true);
    window->reject();
    auto shown = [this] {
        return std::vector<QString>{
            Edit("txtSamplesPerFile")->text(),
            Edit("txtFilesPerSession")->text(),
            Edit("txtSampleDelay")->text(),
            window->BaseName(),
            Box(2)->isChecked() ? "2" : "",
            Box(5)->isChecked() ? "5" : "",
            Child<QCheckBox>(QStringLiteral("ckPaced"))->isChecked() ? "paced" : ""};
    };
    Open();
    EXPECT_EQ(shown(), (std::vector<QString>{"250", "3", "2.5", "RUN", "", "5", "paced"}));
    window->reject();

    const fs::path file = rig.ctx().datalog.appDir.settingsDirectory() / "QuenlorEval.ini";
    ASSERT_TRUE(fs::exists(file));
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << "\x01\xff[datalog\n=== not\x00 settings\ndatalog/txtSamplesPerFile\n";
    Open();
    EXPECT_EQ(shown(), (std::vector<QString>{"1000", "1", "0", "DATALOG", "2", "", ""}));
}

TEST_F(DatalogWindow, AnInstalledProgramLogsIntoTheUsersFolderMadeOnTheFirstRun) {
    const fs::path folder = rig.dir() / "home" / "Documents" / "quenlor-eval";
    rig.appDir().setDataDirectory(folder);
    Open();
    EXPECT_EQ(Edit("txtDirectory")->text().toStdString(), folder.string());
    Edit("txtDirectory")->setText(QStringLiteral("/elsewhere"));
    EXPECT_EQ(Edit("txtDirectory")->text().toStdString(), folder.string());
    Configure("2", "1");
    StartButton()->click();
    EXPECT_TRUE(rig.messages().boxes.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "DATALOG_1.csv"));
    EXPECT_FALSE(Exists("DATALOG_1.csv"));
}

TEST_F(DatalogWindow, ExtensionLabelFollowsTheSeparatorRuleAtEveryRunStart) {
    Open();
    QLabel* fext = Child<QLabel>(QStringLiteral("lblFext"));
    EXPECT_EQ(fext->text(), ".csv");
    // The rule runs again only when a run starts.
    rig.locale().separator = ",";
    EXPECT_EQ(fext->text(), ".csv");
    Configure("1", "1");
    QString duringRun;
    AtYield(1, 0, [&] { duringRun = fext->text(); });
    StartButton()->click();
    EXPECT_EQ(duringRun, ".txt");
    EXPECT_EQ(fext->text(), ".txt");
    EXPECT_EQ(Entries(), std::vector<std::string>{"DATALOG_1.txt"});

    rig.locale().separator = ".";
    StartButton()->click();
    EXPECT_EQ(fext->text(), ".csv");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_1.txt"}));
}

TEST_F(DatalogWindow, ProgressBarShowsEachFileFromStartToEndInFewSteps) {
    Open();
    Configure("1000", "2");
    auto* bar = Child<QProgressBar>(QStringLiteral("prgDatalog"));
    std::vector<std::vector<int>> moves;
    std::vector<QString> texts;
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(), [&](int value) {
        if (value == 0) {
            moves.emplace_back();
            texts.push_back(bar->text());
        }
        moves.back().push_back(value);
    });
    StartButton()->click();
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(texts, (std::vector<QString>{"File 1 of 2: 0%", "File 2 of 2: 0%"}));
    for (const std::vector<int>& file : moves) {
        EXPECT_GE(file.size(), 11u);
        EXPECT_LE(file.size(), 21u);
        EXPECT_EQ(file.back(), 1000);
        EXPECT_TRUE(std::is_sorted(file.begin(), file.end()));
        EXPECT_EQ(std::adjacent_find(file.begin(), file.end()), file.end());
    }
    EXPECT_TRUE(bar->isHidden()) << "the bar goes with the run";
}

TEST_F(DatalogWindow, NoHeaderAndMaskedValuesAsSignedIntegers) {
    rig.sensor().pokeWord(SimSensor::kXAcclOut, 0xC000);  // -16384 LSB
    Open();
    Configure("2.5", "1");  // the whole part counts
    Box(1)->setChecked(true);
    Child<QCheckBox>(QStringLiteral("ckNOHeader"))->setChecked(true);
    Child<QCheckBox>(QStringLiteral("ckNOScale"))->setChecked(true);
    StartButton()->click();
    EXPECT_EQ(Read("DATALOG_1.csv"), Lines(2, "21626,-16384,"));

    Child<QCheckBox>(QStringLiteral("ckNOScale"))->setChecked(false);
    rig.messages().answers = {true};  // replace the file of the run before
    StartButton()->click();
    EXPECT_EQ(Read("DATALOG_1.csv"), Lines(2, "3.300128,-0.999424,"));
}

TEST_F(DatalogWindow, CommaDecimalsGiveTabsAndTxtFiles) {
    rig.locale().separator = ",";
    Open();
    Configure("2", "1");
    Box(5)->setChecked(true);  // TEMP_OUT: 0 LSB is 625.66 degrees
    rig.sensor().pokeWord(SimSensor::kTempOut, 0);
    StartButton()->click();
    EXPECT_EQ(Entries(), std::vector<std::string>{"DATALOG_1.txt"});
    EXPECT_EQ(Read("DATALOG_1.txt"),
              Header("DATALOG_1.txt", "100,5", "102,75", "2,25", "XACCL_OUT\tTEMP_OUT\t", "\t") +
                  Lines(2, "0,999424\t625,66\t", "\t"));
}

TEST_F(DatalogWindow, AFileThatCannotBeOpenedEndsTheRunAndKeepsTheFilesBefore) {
    fs::create_directory(rig.dir() / "DATALOG_2.csv");
    Open();
    Configure("3", "3");
    StartButton()->click();
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    EXPECT_EQ(rig.messages().boxes[0].text, kFileAccess1 + "DATALOG_2.csv" + kFileAccess2);
    EXPECT_EQ(rig.messages().boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(rig.messages().boxes[0].title, kAppTitle);
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(3, "0.999424,"));
    EXPECT_TRUE(fs::is_directory(rig.dir() / "DATALOG_2.csv"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv"}));
    EXPECT_EQ(Edit("txtFileNum")->text(), "1");
    ExpectIdle();
}

TEST_F(DatalogWindow, ABaseNameLeavingTheDirectoryIsRefused) {
    Open();
    Configure("1", "1");
    for (const char* name : {"../escape", "sub/x", "a\\b", ".."}) {
        rig.messages().clear();
        Edit("txtFileName")->setText(QString::fromLatin1(name));
        StartButton()->click();
        ASSERT_EQ(rig.messages().boxes.size(), 1u) << name;
        EXPECT_EQ(rig.messages().boxes[0].text,
                  kFileAccess1 + std::string(name) + "_1.csv" + kFileAccess2);
        ExpectIdle();
    }
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(fs::exists(rig.dir().parent_path() / "escape_1.csv"));
}

TEST_F(DatalogWindow, CancelInTheSecondOfFiveFilesFinishesThatFile) {
    Open();
    Configure("3", "5");
    // Cancel as the second sample of file 2 is taken.
    AtYield(2, 2, [this] { QueueClick(); });
    StartButton()->click();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv"}));
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(3, "0.999424,"));
    // Exactly the samples taken: nothing left over from file 1's third line.
    EXPECT_EQ(
        Read("DATALOG_2.csv"),
        Header("DATALOG_2.csv", "200", "201.25", "1.25", "XACCL_OUT,") + Lines(2, "0.999424,"));
    EXPECT_EQ(Edit("txtFileNum")->text(), "2");
    ExpectIdle();
}

TEST_F(DatalogWindow, AStartAfterCancelStartsNoSecondRun) {
    Open();
    Configure("3", "3");
    AtYield(1, 0, [this] {
        QueueClick();  // Cancel
        QueueClick();  // Start, before the run has noticed the cancel
    });
    StartButton()->click();
    EXPECT_EQ(Entries(), std::vector<std::string>{"DATALOG_1.csv"});
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(1, "0.999424,"));
    ExpectIdle();
}

TEST_F(DatalogWindow, ClosingDuringARunFinishesTheFileThenCloses) {
    Open();
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmDatalog> guard(window.get());
    Configure("3", "3");
    AtYield(1, 0, [this] {
        QMetaObject::invokeMethod(window.get(), &QWidget::close, Qt::QueuedConnection);
    });
    StartButton()->click();
    EXPECT_EQ(Entries(), std::vector<std::string>{"DATALOG_1.csv"});
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(1, "0.999424,"));
    ASSERT_TRUE(guard);
    EXPECT_FALSE(guard->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull()) << "the window is unloaded once the run is over";
    window.release();
}

TEST_F(DatalogWindow, EscapeDuringARunDoesNothingAndClosesWhenIdle) {
    Open();
    Configure("3", "3");
    // Escape reaches the window as an unhandled key of its focused control.
    AtYield(1, 1, [this] { QTest::keyClick(StartButton(), Qt::Key_Escape); });
    StartButton()->click();
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv", "DATALOG_3.csv"}));
    EXPECT_EQ(Read("DATALOG_3.csv"),
              Header("DATALOG_3.csv", "300", "300.5", "0.5", "XACCL_OUT,") + Lines(3, "0.999424,"));
    EXPECT_TRUE(window->isVisible());
    ExpectIdle();
    QTest::keyClick(StartButton(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DatalogWindow, SamplesThatCannotBeHeldInMemoryStartNoRun) {
    Open();
    Configure("2147483647", "1");
    // While the message is up the window shows no sign of a run.
    bool looked = false;
    rig.messages().onShow = [this, &looked](const RecordingMessageBoxes::Box&) {
        looked = true;
        EXPECT_EQ(StartButton()->text(), "Start Datalog");
        EXPECT_TRUE(Child<QLabel>(QStringLiteral("LBLDatalogInProgress"))->isHidden());
        EXPECT_TRUE(Child<QProgressBar>(QStringLiteral("prgDatalog"))->isHidden());
        EXPECT_TRUE(Edit("txtSamplesPerFile")->isEnabled());
        EXPECT_TRUE(Box(2)->isEnabled());
        EXPECT_FALSE(window->IsRunning());
    };
    StartButton()->click();
    rig.messages().onShow = nullptr;
    EXPECT_TRUE(looked);
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    const std::string& text = rig.messages().boxes[0].text;
    EXPECT_NE(text.find("cannot be held in memory"), std::string::npos) << text;
    // 2 GiB of lines of at most 29 bytes for one register.
    EXPECT_NE(text.find("The largest Samples per File that fits is 74051160."), std::string::npos)
        << text;
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Edit("txtSamplesPerFile")->text(), "2147483647");
    ExpectIdle();
}

TEST_F(DatalogWindow, AFileThatCannotBeCompletedEndsTheRunWithoutAPartialFile) {
    Open();
    Configure("3", "3");
    // The final name is taken by a folder while file 2 samples: it cannot be completed.
    AtYield(2, 0, [this] { fs::create_directories(rig.dir() / "DATALOG_2.csv" / "inside"); });
    StartButton()->click();
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    EXPECT_NE(rig.messages().boxes[0].text.find("DATALOG_2.csv"), std::string::npos);
    EXPECT_NE(rig.messages().boxes[0].text.find("could not be written"), std::string::npos);
    // File 2's samples are kept in its spool.
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv", "DATALOG_2.csv",
                                                   "DATALOG_2.csv.unfinished"}));
    EXPECT_EQ(Read("DATALOG_2.csv.unfinished"), Lines(3, "0.999424,"));
    EXPECT_TRUE(fs::is_directory(rig.dir() / "DATALOG_2.csv"));
    EXPECT_EQ(
        Read("DATALOG_1.csv"),
        Header("DATALOG_1.csv", "100.5", "102.75", "2.25", "XACCL_OUT,") + Lines(3, "0.999424,"));
    ExpectIdle();
}

// A file size limit stands in for a full disk; Windows has none to set.
#ifndef _WIN32
TEST_F(DatalogWindow, AFullDiskLeavesNoHalfWrittenFile) {
    Open();
    Configure("2000", "1");  // about 28 kB of lines
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    StartButton()->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    EXPECT_EQ(rig.messages().boxes[0].text,
              "The datalog file DATALOG_1.csv could not be written completely; the disk may be "
              "full.\r\n\r\nThe run has ended. The files finished before it are kept.");
    // No half-written file; what the disk took of the samples is in the spool.
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DATALOG_1.csv.unfinished"}));
    ExpectIdle();
}
#endif

}  // namespace
