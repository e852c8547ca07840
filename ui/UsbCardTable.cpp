#include "ui/UsbCardTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/NumberFormat.h"
#include "ui/TextBox.h"

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
        optUsbPort[i] = opt;
        grid->addWidget(opt, i + 1, 0);
        connect(opt, &QRadioButton::clicked, this, [this, i] { emit optionClicked(i); });
        if (i < 4)
            addCardRow(i, i + 1);
    }
}

void UsbCardTable::addCardRow(int i, int row) {
    auto* grid = static_cast<QGridLayout*>(layout());
    optUsbPort[i]->setEnabled(false);
    const bool full = columns_ == Columns::Full;
    txtDescript0[i] = Box("txtDescript0", i, this, full ? 120 : 160);
    txtDriverRev[i] = Box("txtDriverRev", i, this, 40);
    txtSpeed[i] = Box("txtSpeed", i, this, 40);
    if (!full) {
        grid->addWidget(txtDescript0[i], row, 1);
        grid->addWidget(txtDriverRev[i], row, 2);
        grid->addWidget(txtSpeed[i], row, 3);
        return;
    }
    txtUsbPort[i] = Box("txtUsbPort", i, this, 90);
    txtDescript1[i] = Box("txtDescript1", i, this, 120);
    grid->addWidget(txtUsbPort[i], row, 1);
    grid->addWidget(txtDescript0[i], row, 2);
    grid->addWidget(txtDescript1[i], row, 3);
    grid->addWidget(txtDriverRev[i], row, 4);
    grid->addWidget(txtSpeed[i], row, 5);
}

void UsbCardTable::clearRows() {
    for (int i = 0; i < 4; ++i) {
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
    if (txtUsbPort[i])
        txtUsbPort[i]->setText(Q(card.BoardType) + " - " + QString::number(card.UnitNumber));
    optUsbPort[i]->setEnabled(true);
}

void UsbCardTable::describeCard(int i, const UsbCardRecord& card, const std::string& sep) {
    txtDescript0[i]->setText(Q(card.Descriptor0));
    if (txtDescript1[i])
        txtDescript1[i]->setText(Q(card.Descriptor1));
    txtDriverRev[i]->setText(Q(FormatFixed0_0(card.DriverRev, sep)));
    txtSpeed[i]->setText(Q(FormatFixed0_0(LeadingNumber(card.Speed), sep)));
}

}  // namespace quenlor
