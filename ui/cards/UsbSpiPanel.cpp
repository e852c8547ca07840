#include "ui/cards/UsbSpiPanel.h"
#include "ui/cards/UsbButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/common/TextBox.h"

namespace quenlor {

namespace {

std::uint8_t BitOf(int cs) {
    return static_cast<std::uint8_t>(1u << (cs + 1));
}

}  // namespace

UsbSpiPanel::UsbSpiPanel(QWidget* parent) : QGroupBox("SPI Setup", parent) {
    setObjectName("frameSPIsetup");
    addStaticBits();
    addChannels();
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(new QLabel("Delay between words (uS)", this));
    txtLoopDelay = new QLineEdit(this);
    txtLoopDelay->setObjectName("txtLoopDelay");
    txtLoopDelay->setMinimumWidth(50);
    KeepTextInBox(*txtLoopDelay);
    txtLoopDelay->setText("10");
    txtLoopDelay->installEventFilter(this);
    delayRow->addWidget(txtLoopDelay);
    cmdReadDelay = Button("Read", "cmdReadDelay", this);
    delayRow->addWidget(cmdReadDelay);
    auto* polarityRow = new QHBoxLayout;
    polarityRow->addWidget(new QLabel("Data Input Polarity", this));
    cmdPolarity = Button("Pos", "cmdPolarity", this);
    polarityRow->addWidget(cmdPolarity);
    polarityRow->addStretch();
    auto* setup = new QVBoxLayout(this);
    setup->addWidget(frameSpiStatic);
    setup->addWidget(frameSpiChan);
    setup->addLayout(delayRow);
    setup->addLayout(polarityRow);
    setup->addStretch();
}

void UsbSpiPanel::addStaticBits() {
    frameSpiStatic = new QGroupBox("Static Bits", this);
    frameSpiStatic->setObjectName("frameSpiStatic");
    auto* statics = new QGridLayout(frameSpiStatic);
    for (int i = 2; i <= 5; ++i) {
        auto*& box = chkStaticBits[static_cast<std::size_t>(i)];
        box = new QCheckBox(QString("CS%1").arg(i), frameSpiStatic);
        box->setObjectName(QString("chkStaticBits_%1").arg(i));
        statics->addWidget(box, (i - 2) / 2, (i - 2) % 2);
    }
    cmdReadBits = Button("Read", "cmdReadBits", frameSpiStatic);
    cmdSetSpiBits = Button("Set Bits", "cmdSetSpiBits", frameSpiStatic);
    statics->addWidget(cmdReadBits, 2, 0);
    statics->addWidget(cmdSetSpiBits, 2, 1);
}

void UsbSpiPanel::addChannels() {
    frameSpiChan = new QGroupBox("Csel Channel", this);
    frameSpiChan->setObjectName("frameSpiChan");
    auto* chans = new QHBoxLayout(frameSpiChan);
    for (int i = 1; i <= 4; ++i) {
        auto*& option = optSpiChan[static_cast<std::size_t>(i)];
        option = new QRadioButton(QString("Chan%1").arg(i), frameSpiChan);
        option->setObjectName(QString("optSpiChan_%1").arg(i));
        chans->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, i] { emit channelClicked(i); });
    }
}

void UsbSpiPanel::showChannel(int channel) {
    if (channel >= 1 && channel <= 4)
        optSpiChan[static_cast<std::size_t>(channel)]->setChecked(true);
}

bool UsbSpiPanel::positivePolarity() const {
    return cmdPolarity->text() == "Pos";
}

void UsbSpiPanel::showPolarity(bool positive) {
    cmdPolarity->setText(positive ? "Pos" : "Neg");
}

void UsbSpiPanel::clearBits() {
    for (std::size_t i = 2; i <= 5; ++i)
        chkStaticBits[i]->setChecked(false);
}

void UsbSpiPanel::showBits(std::uint8_t bits) {
    for (int i = 2; i <= 5; ++i)
        chkStaticBits[static_cast<std::size_t>(i)]->setChecked((bits & BitOf(i)) != 0);
}

std::uint8_t UsbSpiPanel::checkedBits() const {
    std::uint8_t bits = 0;
    for (int i = 2; i <= 5; ++i)
        if (chkStaticBits[static_cast<std::size_t>(i)]->checkState() != Qt::Unchecked)
            bits = static_cast<std::uint8_t>(bits | BitOf(i));
    return bits;
}

QString UsbSpiPanel::delayText() const {
    return txtLoopDelay->text();
}

void UsbSpiPanel::showDelay(int delay) {
    txtLoopDelay->setText(QString::number(delay));
}

bool UsbSpiPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtLoopDelay && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit delayEntered();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace quenlor
