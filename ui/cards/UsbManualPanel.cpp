#include "ui/cards/UsbManualPanel.h"
#include "ui/cards/UsbButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/HexText.h"
#include "core/NumberFormat.h"
#include "ui/common/TextBox.h"

namespace quenlor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// One byte a character, as hex digits are counted by position; characters
// outside Latin-1 become '?', which counts as 0 (one per UTF-16 unit, so a
// character beyond the BMP, such as an emoji, takes two positions).
std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

QLineEdit* Box(const QString& name, QWidget* parent, int width, bool readOnly,
               const QString& text) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    box->setMinimumWidth(width);
    KeepTextInBox(*box);
    box->setText(text);
    return box;
}

}  // namespace

UsbManualPanel::UsbManualPanel(QWidget* parent) : QGroupBox("Manual Setup", parent) {
    setObjectName("frameManual");
    auto* manual = new QGridLayout(this);
    manual->addWidget(new QLabel("# Words to Write", this), 0, 0);
    txtNumWords = Box("txtNumWords", this, 40, false, "1");
    manual->addWidget(txtNumWords, 0, 1);
    manual->addWidget(new QLabel("Write (hex)", this), 1, 1);
    manual->addWidget(new QLabel("Readback", this), 1, 2);
    for (int i = 1; i <= 16; ++i) {
        const auto k = static_cast<std::size_t>(i);
        manual->addWidget(new QLabel(QString::number(i), this), i + 1, 0);
        txtWriteSpi[k] = Box(QString("txtWriteSpi_%1").arg(i), this, 60, false, "0");
        txtReadSpi[k] = Box(QString("txtReadSpi_%1").arg(i), this, 60, true, {});
        manual->addWidget(txtWriteSpi[k], i + 1, 1);
        manual->addWidget(txtReadSpi[k], i + 1, 2);
    }
    cmdWriteSpi = Button("Write", "cmdWriteSpi", this);
    cmdLoop = Button("Loop", "cmdLoop", this);
    manual->addWidget(cmdWriteSpi, 18, 1);
    manual->addWidget(cmdLoop, 18, 2);
}

QString UsbManualPanel::wordCountText() const {
    return txtNumWords->text();
}

void UsbManualPanel::showWordCount(int count) {
    txtNumWords->setText(QString::number(count));
}

void UsbManualPanel::takeWriteWords(Words& words, int wordCount) {
    const auto count = static_cast<std::size_t>(wordCount < 0 ? 0 : wordCount);
    for (std::size_t i = 1; i <= count; ++i) {
        const QString text = txtWriteSpi[i]->text();
        words[i] = text.isEmpty() ? 0 : HexToDec(Latin1(text));
        txtWriteSpi[i]->setText(Q(FormatHex(words[i])));
    }
    for (std::size_t i = count + 1; i <= 16; ++i)
        txtWriteSpi[i]->clear();
    for (std::size_t i = 1; i <= 16; ++i)
        txtReadSpi[i]->clear();
}

void UsbManualPanel::showReadWords(const Words& words, int count) {
    for (std::size_t j = 1; j <= static_cast<std::size_t>(count < 0 ? 0 : count) && j <= 16; ++j)
        txtReadSpi[j]->setText(Q(FormatHex(words[j])));
}

}  // namespace quenlor
