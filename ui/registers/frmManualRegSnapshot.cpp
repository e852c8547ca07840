// The register window's snapshot commands (Save, Load, Compare) and the copy
// of its listing.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>
#include <fstream>

#include "core/NumberFormat.h"
#include "core/Version.h"
#include "snapshot/CompareListing.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotDevice.h"
#include "snapshot/SnapshotFile.h"
#include "snapshot/SnapshotHeader.h"
#include "ui/registers/frmManualReg.h"

namespace quenlor {

namespace {

constexpr const char* kSnapshotFilter = "Register snapshots (*.txt);;All files (*)";
constexpr const char* kTextFilter = "Text files (*.txt);;All files (*)";

QPushButton* MakeSnapshotButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

QLayout* frmManualReg::BuildSnapshotButtons(QWidget* group) {
    cmdSave = MakeSnapshotButton(group, "cmdSave", "Save");
    cmdLoad = MakeSnapshotButton(group, "cmdLoad", "Load");
    cmdCompare = MakeSnapshotButton(group, "cmdCompare", "Compare");
    chkCompareAll = new QCheckBox("Outputs too", group);
    chkCompareAll->setObjectName("chkCompareAll");
    chkCompareAll->setToolTip("Compare also the registers that change by themselves");
    cmdCopy = MakeSnapshotButton(group, "cmdCopy", "Copy");
    cmdSaveText = MakeSnapshotButton(group, "cmdSaveText", "Save Text");
    auto* row = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSave, cmdLoad, cmdCompare, chkCompareAll})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(cmdCopy);
    row->addWidget(cmdSaveText);
    connect(cmdSave, &QPushButton::clicked, this, &frmManualReg::cmdSave_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmManualReg::cmdLoad_Click);
    connect(cmdCompare, &QPushButton::clicked, this, &frmManualReg::cmdCompare_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmManualReg::cmdCopy_Click);
    connect(cmdSaveText, &QPushButton::clicked, this, &frmManualReg::cmdSaveText_Click);
    return row;
}

std::filesystem::path frmManualReg::AskFile(bool save, const std::string& title,
                                            const std::string& filter) {
    const std::filesystem::path file = save ? dialogs_->saveFileName(title, lastFolder_, filter)
                                            : dialogs_->openFileName(title, lastFolder_, filter);
    if (!file.empty() && file.has_parent_path())
        lastFolder_ = file.parent_path();
    return file;
}

std::optional<Snapshot> frmManualReg::ReadSnapshot(const std::filesystem::path& file) {
    std::string error;
    auto snapshot = ReadSnapshotFile(file, ctx_.registerTable, error);
    if (!snapshot)
        ctx_.messages.show("The snapshot could not be read.\n" + error);
    return snapshot;
}

void frmManualReg::cmdSave_Click() {
    const auto file = AskFile(true, "Save Register Snapshot", kSnapshotFilter);
    if (file.empty())
        return;
    Snapshot snapshot = TakeSnapshot(ctx_.registers, ctx_.registerTable);
    snapshot.comments = SnapshotHeader({ctx_.clock.localDateTime(),
                                        DescribeInterface(ctx_.settings, ctx_.usb.UsbSelectedCard),
                                        ctx_.simulated, std::string("quenlor-eval ") + kVersion});
    if (!WriteSnapshotFile(file, snapshot, ctx_.registerTable))
        ctx_.messages.show("The snapshot could not be written to " + file.string() + ".");
}

void frmManualReg::cmdLoad_Click() {
    const auto file = AskFile(false, "Load Register Snapshot", kSnapshotFilter);
    if (file.empty())
        return;
    const auto snapshot = ReadSnapshot(file);
    if (!snapshot)
        return;
    const RegisterTable& table = ctx_.registerTable;
    const auto plan = RestorePlan(*snapshot, table);
    if (plan.empty()) {
        ctx_.messages.show(file.string() + " holds no register that a load writes.");
        return;
    }
    const std::vector<PlannedChange> changes = ChangesOf(plan);
    if (changes.empty()) {
        ctx_.messages.show("Every register that " + file.string() +
                           " would load already holds its value; nothing is written.");
        RefreshSelected();
        return;
    }
    if (!ctx_.messages.ask(LoadQuestion(file.string(), changes)))
        return;
    std::vector<SnapshotEntry> writes;
    for (const PlannedChange& c : changes)
        writes.push_back({c.index, c.wanted});
    const auto mismatches = RestoreSnapshot(ctx_.registers, writes);
    ListRegisters();
    RefreshSelected();
    if (mismatches.empty())
        return;
    std::string report = "These registers did not take:\n";
    for (const RestoreMismatch& m : mismatches)
        report += "\n" + table[m.index].Label + ": wrote " + FormatHex4(m.wanted) + ", read back " +
                  FormatHex4(m.read);
    ctx_.messages.show(report);
}

std::vector<frmManualReg::PlannedChange> frmManualReg::ChangesOf(
    const std::vector<SnapshotEntry>& plan) {
    std::vector<PlannedChange> changes;
    for (const SnapshotEntry& e : plan) {
        ctx_.registers.ReadRegister(e.index);
        const auto now = static_cast<std::uint16_t>(ctx_.registers.RegisterReadResult.Value);
        if (now != e.value)
            changes.push_back({e.index, now, e.value});
    }
    return changes;
}

std::string frmManualReg::LoadQuestion(const std::string& file,
                                       const std::vector<PlannedChange>& changes) const {
    const RegisterTable& table = ctx_.registerTable;
    std::size_t width = std::string("Register").size();
    for (const PlannedChange& c : changes)
        width = std::max(width, table[c.index].Label.size());
    // Padded with blanks: the box shows such a table in a fixed-pitch font.
    auto row = [width](std::string name, const std::string& now, const std::string& loaded) {
        name.resize(width + 2, ' ');
        return "\n" + name + now + "    " + loaded;
    };
    std::string question = "Write these registers from " + file + "?\n";
    question += row("Register", "Now ", "Loaded");
    for (const PlannedChange& c : changes)
        question += row(table[c.index].Label, FormatHex4(c.now), FormatHex4(c.wanted));
    return question;
}

void frmManualReg::cmdCompare_Click() {
    const auto file = AskFile(false, "Compare With Register Snapshot", kSnapshotFilter);
    if (file.empty())
        return;
    const auto saved = ReadSnapshot(file);
    if (!saved)
        return;
    const Snapshot live = TakeSnapshot(ctx_.registers, ctx_.registerTable);
    CompareListing listing =
        MakeCompareListing(live, *saved, ctx_.registerTable, chkCompareAll->isChecked());
    ShowListing(std::move(listing.text), listing.differingLines);
    RefreshSelected();
}

void frmManualReg::cmdCopy_Click() {
    QApplication::clipboard()->setText(QString::fromStdString(listing_));
}

void frmManualReg::cmdSaveText_Click() {
    const auto file = AskFile(true, "Save Listing", kTextFilter);
    if (file.empty())
        return;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << listing_;
    out.close();
    if (!out)
        ctx_.messages.show("The listing could not be written to " + file.string() + ".");
}

}  // namespace quenlor
