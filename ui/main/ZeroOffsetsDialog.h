#pragma once

#include <QDialog>

#include "platform/Clock.h"
#include "regmap/RegisterTable.h"
#include "spi/RegisterAccess.h"
#include "zeroing/NullProcedure.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace quenlor {

// "Zero Offsets...": the orientation and time of the measurement, its progress,
// the offsets before and after, and the nulls stored in flash or undone.
class ZeroOffsetsDialog : public QDialog {
    Q_OBJECT

  public:
    ZeroOffsetsDialog(RegisterAccess& registers, const RegisterTable& table, Clock& clock,
                      QWidget* parent = nullptr);

  private:
    void start();
    void showResult(const NullResult& r);
    void storeInFlash();
    void undo();
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    NullProcedure procedure_;
    bool running_ = false;
    bool stopAsked_ = false;
    QComboBox* orientation_ = nullptr;
    QDoubleSpinBox* seconds_ = nullptr;
    QDoubleSpinBox* motionLimit_ = nullptr;
    QPushButton* start_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* flash_ = nullptr;
    QPushButton* undo_ = nullptr;
};

}  // namespace quenlor
