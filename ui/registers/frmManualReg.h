#pragma once

#include <QDialog>
#include <QPrinterInfo>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogs.h"
#include "snapshot/Snapshot.h"
#include "ui/common/WindowContexts.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace quenlor {

// The register window: any register by name, its table attributes, a listing
// of the whole map in hex, a print of the window and the flash update command.
// "Close Window" hides it and keeps its contents; closing it from the title bar
// destroys it, so the next opening loads afresh.
class frmManualReg : public QDialog {
    Q_OBJECT

  public:
    frmManualReg(RegisterWindowContext& ctx, QWidget* mainWindow, QWidget* parent = nullptr);

    // The listing exactly as produced, CR LF line ends included; the text box
    // shows the same lines.
    const std::string& listingText() const { return listing_; }

    // Where printing asks the system and the user. Replaceable so that a test
    // can answer without a printer or a modal dialog.
    std::function<QPrinterInfo()> defaultPrinter;
    std::function<QString()> askPdfFileName;

    // The dialogs of Save, Load, Compare and Save Text; the system's own
    // unless a test hands in others.
    void useFileDialogs(FileDialogs& dialogs) { dialogs_ = &dialogs; }

    // Draws the window's current image on `printer`, scaled to fit its page.
    // False when the printer could not be started or reported an error.
    bool PrintWindowImage(QPrinter& printer);

    QComboBox* cmboRegister = nullptr;
    QLineEdit* txtRegAddr = nullptr;
    QLineEdit* txtRegByte = nullptr;
    QLineEdit* txtRegRead = nullptr;
    QLineEdit* txtRegWrite = nullptr;
    QPushButton* cmdRead = nullptr;
    QLineEdit* txtRegHex = nullptr;
    QLineEdit* txtDataWrite = nullptr;
    QPushButton* cmdWrite = nullptr;
    QLineEdit* txtRegVal = nullptr;
    QPushButton* cmdReadAllReg = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPlainTextEdit* txtUserReg = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdCompare = nullptr;
    QCheckBox* chkCompareAll = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSaveText = nullptr;
    QPushButton* cmdUpdateFlash = nullptr;
    QFrame* LineFlash = nullptr;
    QPushButton* cmdClose = nullptr;

  public slots:
    void cmboRegister_Click(int index);
    void cmdRead_Click();
    void cmdWrite_Click();
    void cmdReadAllReg_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdCompare_Click();
    void cmdCopy_Click();
    void cmdSaveText_Click();
    void cmdUpdateFlash_Click();
    void cmdClose_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    QGroupBox* BuildRegisterGroup();
    QGroupBox* BuildUserGroup();
    QLayout* BuildSnapshotButtons(QWidget* group);
    std::filesystem::path AskFile(bool save, const std::string& title, const std::string& filter);
    std::optional<Snapshot> ReadSnapshot(const std::filesystem::path& file);
    // A register whose value a load would change.
    struct PlannedChange {
        std::int16_t index = 0;
        std::uint16_t now = 0;
        std::uint16_t wanted = 0;
    };
    std::vector<PlannedChange> ChangesOf(const std::vector<SnapshotEntry>& plan);
    std::string LoadQuestion(const std::string& file,
                             const std::vector<PlannedChange>& changes) const;
    void ShowListing(std::string text, const std::vector<int>& highlighted);
    void Form_Load(QWidget* mainWindow);
    void ListRegisters();
    void ShowReadResult();
    // Reads the selected register again into the read/write panel, so that
    // it agrees with the listing after a load or compare.
    void RefreshSelected();
    void PrintToPdfInstead();
    std::int16_t SelectedIndex() const;

    RegisterWindowContext& ctx_;
    std::string listing_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    FileDialogs* dialogs_ = nullptr;
    // Where the next file dialog opens: the folder of the last file chosen.
    std::filesystem::path lastFolder_;
};

}  // namespace quenlor
