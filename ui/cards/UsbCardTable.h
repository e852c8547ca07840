#pragma once

#include <QGroupBox>
#include <QString>
#include <array>
#include <string>

#include "usb/UsbCardRecord.h"

class QLineEdit;
class QRadioButton;

namespace quenlor {

// The "Buffer Select" group: one option a device name (EzUsb0..3) with the
// card's texts beside it, and "None" as option 4.
class UsbCardTable : public QGroupBox {
    Q_OBJECT
  public:
    // Brief: descriptor, revision and speed. Full: also the device (board
    // type and unit) and the second descriptor.
    enum class Columns { Brief, Full };

    explicit UsbCardTable(Columns columns, QWidget* parent = nullptr);

    QRadioButton& option(int index) { return *optUsbPort[static_cast<std::size_t>(index)]; }
    // Every card row empty and its option disabled.
    void clearRows();
    // The row's device text, and its option enabled.
    void offerCard(int index, const UsbCardRecord& card);
    // The row's descriptor, revision and speed texts.
    void describeCard(int index, const UsbCardRecord& card, const std::string& decimalSeparator);

  signals:
    // The user clicked option 0..4.
    void optionClicked(int index);

  private:
    void addCardRow(int index, int row);

    Columns columns_;
    std::array<QRadioButton*, 5> optUsbPort{};
    std::array<QLineEdit*, 4> txtUsbPort{};  // Full only
    std::array<QLineEdit*, 4> txtDescript0{};
    std::array<QLineEdit*, 4> txtDescript1{};  // Full only
    std::array<QLineEdit*, 4> txtDriverRev{};
    std::array<QLineEdit*, 4> txtSpeed{};
};

}  // namespace quenlor
