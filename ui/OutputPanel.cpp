#include "ui/OutputPanel.h"

#include <QGridLayout>

namespace quenlor {

OutputPanel::OutputPanel(QWidget* parent) : QGroupBox(QStringLiteral("Output  Registers"), parent) {
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    auto* plotHeading = new QLabel(QStringLiteral("Plot"), this);
    grid->addWidget(plotHeading, 0, 2, Qt::AlignCenter);
    for (std::size_t i = 1; i <= 8; ++i) {
        const int row = static_cast<int>(i);
        names_[i] = new QLabel(this);
        names_[i]->setObjectName(QStringLiteral("lblReadReg_%1").arg(i));
        names_[i]->setMinimumWidth(90);
        values_[i] = new QLineEdit(this);
        values_[i]->setObjectName(QStringLiteral("txtReadReg_%1").arg(i));
        values_[i]->setFixedWidth(90);
        values_[i]->setAlignment(Qt::AlignRight);
        ticks_[i] = new QCheckBox(this);
        ticks_[i]->setObjectName(QStringLiteral("ck_%1").arg(i));
        grid->addWidget(names_[i], row, 0);
        grid->addWidget(values_[i], row, 1);
        grid->addWidget(ticks_[i], row, 2, Qt::AlignCenter);
    }
    readButton_ = new QPushButton(QStringLiteral("Read"), this);
    readButton_->setObjectName(QStringLiteral("cmdReadData"));
    readButton_->setToolTip(QStringLiteral("Read the Output Registers"));
    grid->addWidget(readButton_, 9, 0, 1, 3);
}

}  // namespace quenlor
