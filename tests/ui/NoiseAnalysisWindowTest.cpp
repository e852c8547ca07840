// The Noise Analysis window over a still simulated board, in the board's own
// seconds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "analysis/SeriesFile.h"
#include "platform/fake/RecordingFileDialogs.h"
#include "tests/ui/RigTime.h"
#include "tests/ui/UiRig.h"
#include "ui/main/frm1.h"
#include "ui/noise/NoiseAnalysisWindow.h"
#include "ui/noise/NoiseChart.h"

namespace quenlor {
namespace {

struct StillRig {
    RigTime time;
    UiRig rig{[this] {
        UiRig::Setup setup;
        setup.clock = &time;
        return setup;
    }()};
    StillRig() {
        time.rig = &rig;
        rig.setSimStep(100e-6);
        rig.sensor().holdStill({0.0, 0.0, 1.0});
    }
};

// Runs events until `done` or a minute of real time.
template <typename Done>
bool RunUntil(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

QString Cell(QTableWidget& table, int row, const QString& column) {
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.horizontalHeaderItem(c)->text() == column)
            return table.item(row, c)->text();
    }
    return {};
}

TEST(NoiseAnalysisWindowTest, ARunFromTheMenuShowsBothCurvesAndTheTableAndSavesItsSamples) {
    StillRig still;
    frm1 main(still.rig.ctx());
    RecordingFileDialogs dialogs;
    const std::filesystem::path file = still.rig.dir() / "noise.csv";
    dialogs.answers.push_back(file);
    std::int64_t samples = 0;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<NoiseAnalysisWindow*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            ADD_FAILURE() << "the window did not open";
            return;
        }
        window->useFileDialogs(dialogs);
        window->findChild<QSpinBox*>("spnDuration")->setValue(10);
        window->findChild<QComboBox*>("cboDurationUnit")->setCurrentIndex(0);
        window->findChild<QPushButton*>("cmdStart")->click();
        EXPECT_TRUE(RunUntil([&] { return !window->running(); })) << "the run did not end";
        EXPECT_EQ(window->findChild<QProgressBar*>("prgRun")->value(), 1000);
        auto& table = *window->findChild<QTableWidget*>("tblNoise");
        EXPECT_EQ(table.rowCount(), 4);
        samples = window->run()->Samples();
        // Ten seconds at 400 a second.
        EXPECT_NEAR(static_cast<double>(samples), 4000.0, 200.0);
        EXPECT_EQ(Cell(table, 0, "Channel"), "XACCL_OUT");
        EXPECT_TRUE(Cell(table, 0, "White noise").endsWith("µg/√Hz"))
            << Cell(table, 0, "White noise").toStdString();
        for (const char* name : {"chtAllan", "chtDensity"}) {
            const auto& curves = window->findChild<NoiseChart*>(name)->curves();
            ASSERT_EQ(curves.size(), 4u) << name;
            EXPECT_GE(curves[0].x.size(), 8u) << name;
            EXPECT_FALSE(curves[0].fits.empty()) << name << ": no fitted line";
        }
        window->findChild<QPushButton*>("cmdSaveSamples")->click();
        window->close();
    });
    main.mnuNoiseAnalysis().trigger();

    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    SeriesReadError error;
    const auto saved = ReadSeriesFile(text.str(), still.rig.stack().registerTable(), {}, error);
    ASSERT_TRUE(saved) << error.message;
    EXPECT_EQ(saved->Rows(), samples);
    EXPECT_EQ(saved->channels,
              (std::vector<std::string>{"XACCL_OUT", "YACCL_OUT", "ZACCL_OUT", "TEMP_OUT"}));
    EXPECT_EQ(saved->times.size(), saved->columns[0].size());
}

TEST(NoiseAnalysisWindowTest, StopEndsALongRunAndKeepsWhatItRead) {
    StillRig still;
    UiRig& rig = still.rig;
    NoiseAnalysisContext context{
        rig.registers(), rig.stack().registerTable(), still.time, rig.ctx().engine, rig.messages(),
        rig.dir(),       [] { return true; }};
    NoiseAnalysisWindow window(std::move(context));
    window.findChild<QComboBox*>("cboDurationUnit")->setCurrentIndex(2);  // hours
    auto& start = *window.findChild<QPushButton*>("cmdStart");
    start.click();
    ASSERT_TRUE(window.running());
    ASSERT_TRUE(RunUntil([&] { return window.run()->Samples() >= 2000; }));
    start.click();
    ASSERT_TRUE(RunUntil([&] { return !window.running(); }));
    const std::int64_t kept = window.run()->Samples();
    EXPECT_GE(kept, 2000);
    EXPECT_LT(window.findChild<QProgressBar*>("prgRun")->value(), 10);
    EXPECT_EQ(window.findChild<QTableWidget*>("tblNoise")->rowCount(), 4);
    EXPECT_TRUE(window.findChild<QLabel*>("lblTimeLeft")->text().startsWith("Ran for"));
    EXPECT_TRUE(window.findChild<QPushButton*>("cmdSaveCurves")->isEnabled());
    // Nothing more arrives once stopped.
    QApplication::processEvents();
    EXPECT_EQ(window.run()->Samples(), kept);
}

}  // namespace
}  // namespace quenlor
