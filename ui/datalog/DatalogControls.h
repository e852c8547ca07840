#pragma once

#include <array>

#include <QString>

#include "datalog/DatalogNaming.h"

class QBoxLayout;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quenlor {

// The datalog window's controls and their layout, named as the window's code
// and tests know them; the window inherits them as its own.
struct DatalogControls {
    static constexpr int kSelectionCount = kDatalogSelectionCount;

    // Creates every control as a child of `window` and lays them out.
    void BuildControls(QDialog& window, const QString& startCaption);

    QLineEdit* txtSamplesPerFile = nullptr;
    QLineEdit* txtSampleDelay = nullptr;
    QLineEdit* txtFilesPerSession = nullptr;
    QLineEdit* txtDirectory = nullptr;
    QLineEdit* txtFileName = nullptr;
    QLineEdit* txtFileNum = nullptr;
    QLabel* lblFext = nullptr;
    QCheckBox* ckNOScale = nullptr;
    QCheckBox* ckNOHeader = nullptr;
    QCheckBox* ckPaced = nullptr;
    std::array<QCheckBox*, kSelectionCount> CheckReg{};
    QPushButton* cmdStartDatalog = nullptr;
    QLabel* LBLDatalogInProgress = nullptr;
    QProgressBar* prgDatalog = nullptr;

  private:
    QGroupBox* BuildFileSetup(QDialog& window);
    QGroupBox* BuildFileInformation(QDialog& window);
    QGroupBox* BuildDataFormat(QDialog& window);
    QGroupBox* BuildDataSelection(QDialog& window);
    QBoxLayout* BuildProgressRow(QDialog& window);
};

}  // namespace quenlor
