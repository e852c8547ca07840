#include "ui/main/ChartExport.h"

#include <QAction>
#include <QBuffer>
#include <QByteArray>
#include <QMenu>
#include <QPixmap>

#include "core/ReplacedFile.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/main/PlotPanel.h"

namespace quenlor {

namespace {
const QString kMenuName = QStringLiteral("mnuChart");
}  // namespace

ChartExport::ChartExport(MessageBoxes& messages, std::filesystem::path folder, QObject* parent)
    : QObject(parent),
      messages_(messages),
      ownDialogs_(std::make_unique<QtFileDialogs>()),
      dialogs_(ownDialogs_.get()),
      folder_(std::move(folder)) {}

ChartExport::~ChartExport() = default;

void ChartExport::attach(PlotPanel& chart) {
    auto* menu = new QMenu(&chart);
    menu->setObjectName(kMenuName);
    QAction* png = menu->addAction(QStringLiteral("Save as PNG..."));
    png->setObjectName(QStringLiteral("mnuSavePng"));
    QAction* csv = menu->addAction(QStringLiteral("Save sweep as CSV..."));
    csv->setObjectName(QStringLiteral("mnuSaveCsv"));
    menu->addSeparator();
    QAction* fit = menu->addAction(QStringLiteral("Fit to data"));
    fit->setObjectName(QStringLiteral("mnuFitToData"));
    connect(fit, &QAction::triggered, &chart, &PlotPanel::FitToData);
    connect(png, &QAction::triggered, this, [this, &chart] { SavePngAsked(chart); });
    connect(csv, &QAction::triggered, this, [this, &chart] { SaveCsvAsked(chart); });
    // A right click anywhere on the chart's group reaches it; the plot area
    // keeps its mouse tracking for the cursor read-out. popup() returns at
    // once, so the read loop goes on while the menu is open.
    chart.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&chart, &QWidget::customContextMenuRequested, menu,
            [menu, &chart](const QPoint& at) { menu->popup(chart.mapToGlobal(at)); });
}

QMenu* ChartExport::menuOf(PlotPanel& chart) {
    return chart.findChild<QMenu*>(kMenuName, Qt::FindDirectChildrenOnly);
}

std::filesystem::path ChartExport::Ask(const std::string& title, const std::string& filter,
                                       const char* extension) {
    std::filesystem::path file = dialogs_->saveFileName(title, folder_, filter);
    if (file.empty())
        return file;
    if (file.has_parent_path())
        folder_ = file.parent_path();
    if (!file.has_extension())
        file += extension;
    return file;
}

void ChartExport::SavePngAsked(PlotPanel& chart) {
    const auto file = Ask("Save Chart as PNG", "PNG images (*.png)", ".png");
    if (!file.empty())
        SavePng(chart, file);
}

void ChartExport::SaveCsvAsked(PlotPanel& chart) {
    const auto file = Ask("Save Sweep as CSV", "CSV files (*.csv)", ".csv");
    if (!file.empty())
        SaveCsv(chart, file);
}

bool ChartExport::SavePng(PlotPanel& chart, const std::filesystem::path& file) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!chart.grab().save(&buffer, "PNG")) {
        messages_.show("The chart image could not be made for " + file.string() + ".");
        return false;
    }
    return Write(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                 "chart image");
}

bool ChartExport::SaveCsv(PlotPanel& chart, const std::filesystem::path& file) {
    std::array<std::string, 3> names;
    for (std::size_t c = 0; c < 3; ++c)
        names[c] = PlotPanel::kChannelNames[c];
    return Write(file, chart.sweep().Csv(names, chart.unit().toStdString(), chart.decimals()),
                 "sweep");
}

bool ChartExport::Write(const std::filesystem::path& file, std::string_view bytes,
                        const char* what) {
    ReplacedFile out;
    if (out.Open(file) && out.Write(bytes) && out.Commit())
        return true;
    out.Discard();
    messages_.show(std::string("The ") + what + " could not be written to " + file.string() + ".");
    return false;
}

}  // namespace quenlor
