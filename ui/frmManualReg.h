#pragma once

#include <QDialog>
#include <QPrinterInfo>
#include <QString>
#include <functional>
#include <string>

#include "ui/WindowContexts.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
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
    QPushButton* cmdUpdateFlash = nullptr;
    QFrame* LineFlash = nullptr;
    QPushButton* cmdClose = nullptr;

  public slots:
    void cmboRegister_Click(int index);
    void cmdRead_Click();
    void cmdWrite_Click();
    void cmdReadAllReg_Click();
    void cmdPrint_Click();
    void cmdUpdateFlash_Click();
    void cmdClose_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    QGroupBox* BuildRegisterGroup();
    QGroupBox* BuildUserGroup();
    void Form_Load(QWidget* mainWindow);
    void ListRegisters();
    void ShowReadResult();
    void PrintToPdfInstead();
    std::int16_t SelectedIndex() const;

    RegisterWindowContext& ctx_;
    std::string listing_;
};

}  // namespace quenlor
