// Saving a strip chart from its context menu: the files read back as what the
// chart plotted and shows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/RecordingFileDialogs.h"
#include "tests/ui/UiRig.h"
#include "ui/main/ChartExport.h"
#include "ui/main/frm1.h"

namespace quenlor {
namespace {

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines;
    std::string all = text.str();
    for (std::size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(all.substr(at, end - at));
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');)
        fields.push_back(f);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

class ChartExportTest : public ::testing::Test {
  protected:
    ChartExportTest() {
        window.Form_Load();
        window.chartExport().useFileDialogs(dialogs);
        window.resize(900, 640);
        window.show();
        QApplication::processEvents();
    }
    std::filesystem::path In(const char* name) const {
        return std::filesystem::path(dir.path().toStdString()) / name;
    }
    QAction* Action(const char* name) {
        QMenu* menu = ChartExport::menuOf(window.accelPlot());
        return menu ? menu->findChild<QAction*>(name) : nullptr;
    }

    UiRig rig;
    frm1 window{rig.ctx()};
    RecordingFileDialogs dialogs;
    QTemporaryDir dir;
};

TEST_F(ChartExportTest, SweepAndImageReadBackAsPlottedAndShown) {
    PlotPanel& chart = window.accelPlot();
    // What each pass handed the chart: X, Y, Z, or nothing where not drawn.
    using Drawn = std::array<std::optional<float>, 3>;
    auto plotted = [&](bool yTicked) {
        const auto& v = window.OutputValues();
        return Drawn{v[2], yTicked ? v[3] : std::nullopt, v[4]};
    };
    std::vector<Drawn> passes{plotted(true)};  // the load's pass, at position 1
    // Around the right edge: position 0 starts the sweep again at pass 400.
    while (passes.size() < 403) {
        window.ReadLoop();
        passes.push_back(plotted(true));
    }
    window.outputs().ck(3).setChecked(false);
    window.ReadLoop();
    passes.push_back(plotted(false));
    ASSERT_EQ(passes.size(), 404u);
    ASSERT_EQ(chart.state().X, 4.0f);

    // A right click brings up the menu; the cursor read-out still follows the pointer.
    QWidget& area = chart.picture();
    const QPoint at(area.width() / 2, area.height() / 4);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, area.mapToGlobal(at));
    QApplication::sendEvent(&area, &click);
    ASSERT_NE(ChartExport::menuOf(chart), nullptr);
    EXPECT_TRUE(ChartExport::menuOf(chart)->isVisible());
    ChartExport::menuOf(chart)->hide();
    const QString cursorBefore = chart.cursorXLabel().text();
    QMouseEvent move(QEvent::MouseMove, QPointF(at), area.mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&area, &move);
    EXPECT_NE(chart.cursorXLabel().text(), cursorBefore);

    dialogs.answers = {In("sweep"), In("chart.png")};
    Action("mnuSaveCsv")->trigger();
    Action("mnuSavePng")->trigger();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].folder, In("sweep").parent_path());  // the folder of the file before
    EXPECT_TRUE(rig.messages().boxes.empty());

    // The 400 samples on the chart in time order: what is left of the last
    // sweep, then the sweep in progress; values at the registers' resolution.
    const auto lines = Lines(In("sweep.csv"));
    ASSERT_EQ(lines.size(), 401u);
    EXPECT_EQ(lines[0], "Sample,Position,X (g),Y (g),Z (g)");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = Fields(lines[i]);
        ASSERT_EQ(fields.size(), 5u) << lines[i];
        const std::size_t number = passes.size() - 400 + i;
        EXPECT_EQ(fields[0], std::to_string(number));
        EXPECT_EQ(fields[1], std::to_string(number % 400));
        const Drawn& want = passes[number - 1];
        for (std::size_t c = 0; c < 3; ++c) {
            if (!want[c]) {
                EXPECT_EQ(fields[c + 2], "") << lines[i];
                continue;
            }
            const std::string& text = fields[c + 2];
            EXPECT_EQ(text.size() - text.find('.'), 6u) << lines[i];
            EXPECT_NEAR(std::stod(text), *want[c], 0.5e-5) << lines[i];
        }
    }

    const QImage image(QString::fromStdString(In("chart.png").string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), chart.size() * chart.devicePixelRatio());
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixel(x, y) == PlotPanel::kChannelColours[0];
    EXPECT_GT(red, 100);  // the X trace is in the picture
}

TEST_F(ChartExportTest, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft) {
    const auto file = In("no such folder") / "sweep.csv";
    dialogs.answers = {file};
    Action("mnuSaveCsv")->trigger();
    ASSERT_EQ(rig.messages().boxes.size(), 1u);
    EXPECT_EQ(rig.messages().boxes[0].text,
              "The sweep could not be written to " + file.string() + ".");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::is_empty(In("")));
}

}  // namespace
}  // namespace quenlor
