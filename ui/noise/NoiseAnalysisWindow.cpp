#include "ui/noise/NoiseAnalysisWindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/NoiseReport.h"
#include "core/ReplacedFile.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/noise/NoiseChart.h"

namespace quenlor {

namespace {

constexpr int kTickMs = 100;
constexpr std::int64_t kRefreshNs = 3'000'000'000;
constexpr int kLeastSeconds = 10;
constexpr int kMostSeconds = 24 * 3600;
// Sigma at the flat minimum over the bias instability.
constexpr double kFlickerFloor = 0.664;

// One colour per output row, the axes in the charts' red, green and blue.
QColor RowColor(std::size_t row) {
    static const QColor colors[9] = {
        Qt::black,           QColor(90, 90, 90),  QColor(200, 30, 30),
        QColor(20, 150, 40), QColor(30, 70, 210), QColor(230, 130, 0),
        QColor(150, 20, 90), QColor(0, 150, 160), QColor(120, 60, 200)};
    return colors[row < 9 ? row : 0];
}

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QString HoursMinutesSeconds(double seconds) {
    const auto s = static_cast<long long>(std::max(0.0, std::ceil(seconds)));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// The units of the rows shown, each once, as the charts' axis says them.
QString Units(const std::vector<NamedSummary>& rows, const char* per) {
    QStringList units;
    for (const NamedSummary& r : rows) {
        const QString u =
            QString::fromStdString(DisplayUnitOf(r.channel).name) + QString::fromUtf8(per);
        if (!units.contains(u))
            units << u;
    }
    return units.join(QStringLiteral(", "));
}

NoiseChart::Curve AllanCurve(const NamedSummary& row, QColor color) {
    const double f = DisplayUnitOf(row.channel).factor;
    NoiseChart::Curve c{QString::fromStdString(row.channel), color, {}, {}, {}, {}, {}};
    for (const AllanPoint& p : row.summary.allan) {
        c.x.push_back(p.tau);
        c.y.push_back(p.adev * f);
        c.lower.push_back(p.lower * f);
        c.upper.push_back(p.upper * f);
    }
    if (c.x.empty())
        return c;
    const double t0 = c.x.front(), t1 = c.x.back();
    const NoiseTerms& t = row.summary.terms;
    if (t.white.observed) {
        const double w = t.white.value * f;
        c.fits.push_back({t0, w / std::sqrt(t0), t1, w / std::sqrt(t1), Qt::DashLine});
    }
    if (t.biasInstability.observed) {
        const double b = t.biasInstability.value * kFlickerFloor * f;
        c.fits.push_back({t0, b, t1, b, Qt::DotLine});
    }
    if (t.randomWalk.observed) {
        const double k = t.randomWalk.value * f;
        c.fits.push_back(
            {t0, k * std::sqrt(t0 / 3.0), t1, k * std::sqrt(t1 / 3.0), Qt::DashDotLine});
    }
    return c;
}

NoiseChart::Curve DensityCurve(const NamedSummary& row, QColor color) {
    const double f = DisplayUnitOf(row.channel).factor;
    const Spectrum& s = row.summary.spectrum;
    NoiseChart::Curve c{QString::fromStdString(row.channel), color, {}, {}, {}, {}, {}};
    for (std::size_t k = 1; k < s.density.size(); ++k) {
        c.x.push_back(static_cast<double>(k) * s.binWidth);
        c.y.push_back(std::sqrt(s.density[k]) * f);
    }
    if (row.summary.density.observed) {
        const double d = row.summary.density.value * f;
        const DensityBand& b = row.summary.band;
        c.fits.push_back({b.low, d, b.high, d, Qt::DashLine});
    }
    return c;
}

}  // namespace

NoiseAnalysisWindow::NoiseAnalysisWindow(NoiseAnalysisContext ctx, QWidget* parent)
    : QDialog(parent),
      ctx_(std::move(ctx)),
      ownDialogs_(std::make_unique<QtFileDialogs>()),
      dialogs_(ownDialogs_.get()) {
    setObjectName(QStringLiteral("frmNoiseAnalysis"));
    setWindowTitle(QStringLiteral("Noise Analysis"));
    buildLayout();
    timer_ = new QTimer(this);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &NoiseAnalysisWindow::tick);
    loop_ = std::make_unique<ReadLoop>(ctx_.registers, ctx_.clock, ctx_.engine, controls_, samples_,
                                       ctx_.measuring);
}

NoiseAnalysisWindow::~NoiseAnalysisWindow() {
    // The worker refers to this window's controls and queue.
    endRun();
}

QWidget* NoiseAnalysisWindow::buildControls() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(new QLabel(QStringLiteral("Outputs"), box));
    for (std::size_t row = 1; row <= 8; ++row) {
        const auto index = static_cast<std::int16_t>(row);
        auto* tick = new QCheckBox(QString::fromStdString(ctx_.registerTable[index].Label), box);
        tick->setObjectName(QStringLiteral("ckOutput%1").arg(row));
        // As `quenlor-cli noise` reads by default: the accelerations and the temperature.
        tick->setChecked(index >= XACCL_OUT && index <= TEMP_OUT);
        outputs_[row] = tick;
        ticks->addWidget(tick);
    }
    ticks->addStretch();
    grid->addLayout(ticks, 0, 0, 1, 6);
    duration_ = new QSpinBox(box);
    duration_->setObjectName(QStringLiteral("spnDuration"));
    duration_->setRange(1, 999);
    duration_->setValue(10);
    unit_ = new QComboBox(box);
    unit_->setObjectName(QStringLiteral("cboDurationUnit"));
    unit_->addItem(QStringLiteral("s"), 1);
    unit_->addItem(QStringLiteral("min"), 60);
    unit_->addItem(QStringLiteral("h"), 3600);
    unit_->setCurrentIndex(1);
    start_ = Button("Start", "cmdStart", box);
    progress_ = new QProgressBar(box);
    progress_->setObjectName(QStringLiteral("prgRun"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    timeLeft_ = new QLabel(box);
    timeLeft_->setObjectName(QStringLiteral("lblTimeLeft"));
    timeLeft_->setMinimumWidth(140);
    grid->addWidget(new QLabel(QStringLiteral("Run for (10 s to 24 h)"), box), 1, 0);
    grid->addWidget(duration_, 1, 1);
    grid->addWidget(unit_, 1, 2);
    grid->addWidget(start_, 1, 3);
    grid->addWidget(progress_, 1, 4);
    grid->addWidget(timeLeft_, 1, 5);
    grid->setColumnStretch(4, 1);
    connect(start_, &QPushButton::clicked, this, [this] { running_ ? stop() : start(); });
    return box;
}

void NoiseAnalysisWindow::buildLayout() {
    allan_ = new NoiseChart(QStringLiteral("Allan deviation, with its 68 % bounds"),
                            QStringLiteral("τ (s)"), this);
    allan_->setObjectName(QStringLiteral("chtAllan"));
    density_ =
        new NoiseChart(QStringLiteral("Noise density"), QStringLiteral("Frequency (Hz)"), this);
    density_->setObjectName(QStringLiteral("chtDensity"));
    auto* charts = new QHBoxLayout;
    charts->addWidget(allan_, 1);
    charts->addWidget(density_, 1);
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("tblNoise"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->setMinimumHeight(150);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lblCounts"));
    saveSamples_ = Button("Save Samples...", "cmdSaveSamples", this);
    saveCurves_ = Button("Save Curves as CSV...", "cmdSaveCurves", this);
    savePicture_ = Button("Save Charts as PNG...", "cmdSavePicture", this);
    auto* close = Button("Close", "cmdClose", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(counts_, 1);
    for (QPushButton* b : {saveSamples_, saveCurves_, savePicture_, close})
        buttons->addWidget(b);
    for (QPushButton* b : {saveSamples_, saveCurves_, savePicture_})
        b->setEnabled(false);
    connect(saveSamples_, &QPushButton::clicked, this, &NoiseAnalysisWindow::saveSamples);
    connect(saveCurves_, &QPushButton::clicked, this, &NoiseAnalysisWindow::saveCurves);
    connect(savePicture_, &QPushButton::clicked, this, &NoiseAnalysisWindow::savePicture);
    connect(close, &QPushButton::clicked, this, &NoiseAnalysisWindow::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildControls());
    layout->addLayout(charts, 3);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(1180, 820);
}

void NoiseAnalysisWindow::start() {
    std::vector<std::string> labels;
    rows_.clear();
    for (std::size_t row = 1; row <= 8; ++row) {
        controls_.ticks[row] = outputs_[row]->isChecked();
        if (outputs_[row]->isChecked()) {
            rows_.push_back(row);
            labels.push_back(ctx_.registerTable[static_cast<std::int16_t>(row)].Label);
        }
    }
    if (rows_.empty()) {
        ctx_.messages.show("Choose at least one output to analyse.");
        return;
    }
    plannedSeconds_ =
        std::clamp(duration_->value() * unit_->currentData().toInt(), kLeastSeconds, kMostSeconds);
    taken_.clear();
    samples_.TakeAll(taken_);
    run_ = std::make_unique<NoiseRun>(labels, plannedSeconds_);
    shown_.clear();
    firstReadyNs_ = -1;
    unmeasured_ = 0;
    controls_.cancel = false;
    controls_.running = true;
    startNs_ = ctx_.clock.monotonicNanoseconds();
    controls_.endNs = startNs_ + static_cast<std::int64_t>(plannedSeconds_ * 1e9);
    lastRefreshNs_ = startNs_;
    if (!ctx_.engine.Start([this] { loop_->Run(); })) {
        controls_.running = false;
        ctx_.messages.show("Stop reading data before the noise analysis.");
        return;
    }
    running_ = true;
    start_->setText(QStringLiteral("Stop"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{duration_, unit_, saveSamples_, saveCurves_, savePicture_})
        w->setEnabled(false);
    for (std::size_t row = 1; row <= 8; ++row)
        outputs_[row]->setEnabled(false);
    allan_->setCurves({}, {});
    density_->setCurves({}, {});
    table_->clear();
    showProgress();
    timer_->start();
}

void NoiseAnalysisWindow::stop() {
    // The loop ends after its pass; the next tick finishes the run.
    controls_.running = false;
}

void NoiseAnalysisWindow::tick() {
    ctx_.engine.ServeOwner();
    takeSamples();
    if (!running_)
        return;
    const std::int64_t now = ctx_.clock.monotonicNanoseconds();
    if (static_cast<double>(now - startNs_) / 1e9 >= plannedSeconds_)
        controls_.running = false;
    if (!ctx_.engine.Active()) {
        finish();
        return;
    }
    showProgress();
    if (now - lastRefreshNs_ >= kRefreshNs) {
        lastRefreshNs_ = now;
        refresh();
    }
}

void NoiseAnalysisWindow::finish() {
    timer_->stop();
    running_ = false;
    takeSamples();
    refresh();
    showProgress();
    start_->setText(QStringLiteral("Start"));
    for (QWidget* w : std::initializer_list<QWidget*>{duration_, unit_})
        w->setEnabled(true);
    for (std::size_t row = 1; row <= 8; ++row)
        outputs_[row]->setEnabled(true);
    const bool any = run_ && run_->Samples() > 0;
    saveSamples_->setEnabled(any);
    saveCurves_->setEnabled(!shown_.empty());
    savePicture_->setEnabled(!shown_.empty());
}

void NoiseAnalysisWindow::takeSamples() {
    taken_.clear();
    samples_.TakeAll(taken_);
    if (!run_)
        return;
    std::vector<float> values(rows_.size());
    const auto endNs = startNs_ + static_cast<std::int64_t>(plannedSeconds_ * 1e9);
    for (const Sample& s : taken_) {
        // The run is the chosen time long, however late the window looks.
        if (s.readyNs > endNs) {
            controls_.running = false;
            continue;
        }
        // A reading without a working interface is no measurement: a gap.
        if (!s.measured) {
            ++unmeasured_;
            run_->Break();
            continue;
        }
        if (firstReadyNs_ < 0)
            firstReadyNs_ = s.readyNs;
        for (std::size_t c = 0; c < rows_.size(); ++c)
            values[c] = s.values[rows_[c]];
        run_->Add(static_cast<double>(s.readyNs - firstReadyNs_) / 1e9, values);
    }
}

void NoiseAnalysisWindow::showProgress() {
    double elapsed = static_cast<double>(ctx_.clock.monotonicNanoseconds() - startNs_) / 1e9;
    if (!running_)
        elapsed = run_ && run_->Samples() > 0 ? std::min(elapsed, plannedSeconds_) : 0.0;
    const double part = plannedSeconds_ > 0.0 ? std::min(elapsed / plannedSeconds_, 1.0) : 0.0;
    progress_->setValue(static_cast<int>(part * 1000.0));
    timeLeft_->setText(running_ ? HoursMinutesSeconds(plannedSeconds_ - elapsed) +
                                      QStringLiteral(" left")
                                : QStringLiteral("Ran for ") + HoursMinutesSeconds(elapsed));
}

void NoiseAnalysisWindow::refresh() {
    if (!run_)
        return;
    shown_ = run_->Summaries();
    showTable(shown_);
    showCharts(shown_);
    QString counts = QStringLiteral("%1 samples").arg(run_->Samples());
    if (run_->Rate() > 0.0)
        counts += QStringLiteral(" at %1/s").arg(run_->Rate(), 0, 'f', 1);
    if (run_->Gaps() > 0)
        counts += QStringLiteral(
                      "; %1 gaps, the largest %2 s: the curves take the even "
                      "stretches between them")
                      .arg(run_->Gaps())
                      .arg(run_->LargestGap(), 0, 'g', 3);
    if (unmeasured_ > 0)
        counts += QStringLiteral("; %1 readings left out: the interface was not working")
                      .arg(unmeasured_);
    counts_->setText(counts);
}

void NoiseAnalysisWindow::showRun(std::unique_ptr<NoiseRun> run, std::vector<std::size_t> rows) {
    endRun();
    run_ = std::move(run);
    rows_ = std::move(rows);
    refresh();
}

void NoiseAnalysisWindow::showTable(const std::vector<NamedSummary>& rows) {
    const auto cells = NoiseTableCells(rows);
    table_->setColumnCount(static_cast<int>(cells[0].size()));
    table_->setRowCount(static_cast<int>(cells.size()) - 1);
    QStringList header;
    for (const std::string& h : cells[0])
        header << QString::fromStdString(h);
    table_->setHorizontalHeaderLabels(header);
    for (std::size_t r = 1; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[r][c]));
            if (c == 0)
                item->setForeground(RowColor(rows_[r - 1]));
            table_->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
}

void NoiseAnalysisWindow::showCharts(const std::vector<NamedSummary>& rows) {
    std::vector<NoiseChart::Curve> allan, density;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        allan.push_back(AllanCurve(rows[r], RowColor(rows_[r])));
        density.push_back(DensityCurve(rows[r], RowColor(rows_[r])));
    }
    allan_->setCurves(std::move(allan), QStringLiteral("σ (") + Units(rows, "") + ")");
    density_->setCurves(std::move(density),
                        QStringLiteral("Density (") + Units(rows, "/√Hz") + ")");
}

std::optional<std::filesystem::path> NoiseAnalysisWindow::ask(const char* title, const char* filter,
                                                              const char* extension) {
    std::filesystem::path file = dialogs_->saveFileName(title, ctx_.folder, filter);
    if (file.empty())
        return std::nullopt;
    if (file.has_parent_path())
        ctx_.folder = file.parent_path();
    if (!file.has_extension())
        file += extension;
    return file;
}

void NoiseAnalysisWindow::saveSamples() {
    // As `quenlor-cli stream --time` writes them, for `analyze` to read again.
    if (const auto file = ask("Save Samples", "Stream files (*.csv)", ".csv"); file && run_)
        write(*file, run_->StreamText(), "samples");
}

void NoiseAnalysisWindow::saveCurves() {
    if (const auto file = ask("Save Curves as CSV", "CSV files (*.csv)", ".csv"))
        write(*file, NoiseCurvesCsv(shown_), "curves");
}

void NoiseAnalysisWindow::savePicture() {
    const auto file = ask("Save Charts as PNG", "PNG images (*.png)", ".png");
    if (!file)
        return;
    QImage image(1400, 560, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        allan_->paint(p, QRect(0, 0, 700, 560));
        density_->paint(p, QRect(700, 0, 700, 560));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    write(*file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
          "chart image");
}

bool NoiseAnalysisWindow::write(const std::filesystem::path& file, std::string_view bytes,
                                const char* what) {
    ReplacedFile out;
    if (out.Open(file) && out.Write(bytes) && out.Commit())
        return true;
    out.Discard();
    ctx_.messages.show(std::string("The ") + what + " could not be written to " + file.string() +
                       ".");
    return false;
}

void NoiseAnalysisWindow::endRun() {
    if (!running_)
        return;
    controls_.cancel = true;
    controls_.running = false;
    ctx_.engine.Wait();
    timer_->stop();
    running_ = false;
}

void NoiseAnalysisWindow::closeEvent(QCloseEvent* event) {
    endRun();
    event->accept();
}

void NoiseAnalysisWindow::reject() {
    endRun();
    QDialog::reject();
}

}  // namespace quenlor
