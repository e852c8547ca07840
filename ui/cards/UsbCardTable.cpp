#include "ui/cards/UsbCardTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/NumberFormat.h"
#include "ui/common/TextBox.h"

namespace quenlor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QLineEdit* Box(const QString& name, int index, QWidget* parent, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString("%1_%2").arg(name).arg(index));
    box->setReadOnly(true);
    box->setMinimumWidth(width);
    KeepTextInBox(*box);
    return box;
}

}  // namespace

UsbCardTable::UsbCardTable(Columns columns, QWidget* parent)
    : QGroupBox("Buffer Select", parent), columns_(columns) {
    setObjectName("frameBufferSetup");
    auto* grid = new QGridLayout(this);
    const QStringList heads = columns == Columns::Full ? QStringList{"Device", "Descriptor0",
                                                                     "Descriptor1", "Rev", "Speed"}
                                                       : QStringList{"Descriptor0", "Rev", "Speed"};
    for (int c = 0; c < heads.size(); ++c)
        grid->addWidget(new QLabel(heads[c], this), 0, c + 1);
    for (int i = 0; i < 5; ++i) {
        auto* opt = new QRadioButton(i < 4 ? QString("EzUsb%1").arg(i) : QString("None"), this);
        opt->setObjectName(QString("optUsbPort_%1").arg(i));
        optUsbPort[static_cast<std::size_t>(i)] = opt;
        grid->addWidget(opt, i + 1, 0);
        connect(opt, &QRadioButton::clicked, this, [this, i] { emit optionClicked(i); });
        if (i < 4)
            addCardRow(i, i + 1);
    }
}

void UsbCardTable::addCardRow(int i, int row) {
    const auto k = static_cast<std::size_t>(i);
    auto* grid = static_cast<QGridLayout*>(layout());
    optUsbPort[k]->setEnabled(false);
    const bool full = columns_ == Columns::Full;
    txtDescript0[k] = Box("txtDescript0", i, this, full ? 120 : 160);
    txtDriverRev[k] = Box("txtDriverRev", i, this, 40);
    txtSpeed[k] = Box("txtSpeed", i, this, 40);
    if (!full) {
        grid->addWidget(txtDescript0[k], row, 1);
        grid->addWidget(txtDriverRev[k], row, 2);
        grid->addWidget(txtSpeed[k], row, 3);
        return;
    }
    txtUsbPort[k] = Box("txtUsbPort", i, this, 90);
    txtDescript1[k] = Box("txtDescript1", i, this, 120);
    grid->addWidget(txtUsbPort[k], row, 1);
    grid->addWidget(txtDescript0[k], row, 2);
    grid->addWidget(txtDescript1[k], row, 3);
    grid->addWidget(txtDriverRev[k], row, 4);
    grid->addWidget(txtSpeed[k], row, 5);
}

void UsbCardTable::clearRows() {
    for (std::size_t i = 0; i < 4; ++i) {
        if (txtUsbPort[i])
            txtUsbPort[i]->setText("None");
        optUsbPort[i]->setEnabled(false);
        txtDescript0[i]->clear();
        if (txtDescript1[i])
            txtDescript1[i]->clear();
        txtDriverRev[i]->clear();
        txtSpeed[i]->clear();
    }
}

void UsbCardTable::offerCard(int i, const UsbCardRecord& card) {
    const auto k = static_cast<std::size_t>(i);
    if (txtUsbPort[k])
        txtUsbPort[k]->setText(Q(card.BoardType) + " - " + QString::number(card.UnitNumber));
    optUsbPort[k]->setEnabled(true);
}

void UsbCardTable::describeCard(int i, const UsbCardRecord& card, const std::string& sep) {
    const auto k = static_cast<std::size_t>(i);
    txtDescript0[k]->setText(Q(card.Descriptor0));
    if (txtDescript1[k])
        txtDescript1[k]->setText(Q(card.Descriptor1));
    txtDriverRev[k]->setText(Q(FormatFixed0_0(card.DriverRev, sep)));
    txtSpeed[k]->setText(Q(FormatFixed0_0(LeadingNumber(card.Speed), sep)));
}

}  // namespace quenlor
