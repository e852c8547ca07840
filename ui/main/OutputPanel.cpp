#include "ui/main/OutputPanel.h"

#include <QEvent>
#include <QGridLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

#include "regmap/RegisterGroups.h"
#include "ui/common/TextBox.h"
#include "ui/main/CachedPanelStyle.h"

namespace quenlor {

OutputPanel::OutputPanel(QWidget* parent) : QGroupBox(QStringLiteral("Output  Registers"), parent) {
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    auto* plotHeading = new QLabel(QStringLiteral("Plot"), this);
    grid->addWidget(plotHeading, 0, 3, Qt::AlignCenter);
    for (std::size_t i = 1; i <= 8; ++i) {
        const int row = static_cast<int>(i);
        names_[i] = new QLabel(this);
        names_[i]->setObjectName(QStringLiteral("lblReadReg_%1").arg(i));
        names_[i]->setMinimumWidth(90);
        values_[i] = new QLineEdit(this);
        values_[i]->setObjectName(QStringLiteral("txtReadReg_%1").arg(i));
        values_[i]->setFixedWidth(90);
        values_[i]->setAlignment(Qt::AlignRight);
        KeepTextInBox(*values_[i]);
        ticks_[i] = new QCheckBox(this);
        ticks_[i]->setObjectName(QStringLiteral("ck_%1").arg(i));
        grid->addWidget(names_[i], row, 0);
        const Quantity quantity = QuantityOf(kOutputRegisters[i - 1]);
        auto* unit = new QLabel(QString::fromUtf8(UnitSymbol(quantity)), this);
        unit->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
        grid->addWidget(values_[i], row, 1);
        grid->addWidget(unit, row, 2);
        grid->addWidget(ticks_[i], row, 3, Qt::AlignCenter);
    }
    // Made after the boxes, so that it is destroyed after them.
    if (auto* style = CachedPanelStyle::OfApplicationStyle(this)) {
        for (std::size_t i = 1; i <= 8; ++i)
            values_[i]->setStyle(style);
    }
    live_.fill(true);
    readButton_ = new QPushButton(QStringLiteral("Read"), this);
    readButton_->setObjectName(QStringLiteral("cmdReadData"));
    readButton_->setToolTip(QStringLiteral("Read the Output Registers"));
    grid->addWidget(readButton_, 9, 0, 1, 4);
    statistics_ = std::make_unique<OutputStatistics>(*grid, 4, this);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OutputPanel::setLive(int i, bool live) {
    const auto row = static_cast<std::size_t>(i);
    if (live_[row] == live)
        return;
    live_[row] = live;
    QLineEdit& box = *values_[row];
    if (live) {
        box.setPalette(QPalette());
        box.setToolTip(QString());
        return;
    }
    QPalette p = box.palette();
    p.setColor(QPalette::Text, QColor(kStaleText));
    p.setColor(QPalette::Base, QColor(kStaleBase));
    box.setPalette(p);
    box.setToolTip(QStringLiteral("Not a measurement: the interface is not working"));
}

void OutputPanel::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::StyleChange:
        case QEvent::PaletteChange:
        case QEvent::FontChange:
        case QEvent::EnabledChange:
        case QEvent::ParentChange:
            background_ = QPixmap();
            break;
        default:
            break;
    }
    QGroupBox::changeEvent(event);
}

QWidget& OutputPanel::backdrop() {
    QWidget* w = parentWidget();
    while (w && !w->isWindow() && !w->autoFillBackground())
        w = w->parentWidget();
    return w ? *w : *this;
}

bool OutputPanel::backgroundCurrent() {
    const qreal dpr = devicePixelRatioF();
    return !background_.isNull() && background_.devicePixelRatio() == dpr &&
           background_.size() == size() * dpr && backgroundTitle_ == title() &&
           backgroundOffset_ == mapTo(window(), QPoint());
}

void OutputPanel::renderBackground() {
    const qreal dpr = devicePixelRatioF();
    QWidget& top = *window();
    QWidget& under = backdrop();
    backgroundOffset_ = mapTo(&top, QPoint());
    backgroundTitle_ = title();
    background_ = QPixmap(size() * dpr);
    background_.setDevicePixelRatio(dpr);

    // What the backdrop paints here, its brush anchored at its own origin.
    QPainter fill(&background_);
    fill.setBrushOrigin(mapTo(&under, QPoint()) * -1);
    fill.fillRect(rect(), under.palette().brush(under.backgroundRole()));
    fill.end();
    // Then the group's own paint, with the painter set up as the group sets it up.
    QStylePainter p(&background_, this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    p.drawComplexControl(QStyle::CC_GroupBox, option);
}

void OutputPanel::paintEvent(QPaintEvent* event) {
    if (!backgroundCurrent())
        renderBackground();
    const qreal dpr = background_.devicePixelRatio();
    QPainter p(this);
    // Rectangle by rectangle: the value boxes changed in one pass are apart,
    // and one copy of their bounding box through a clip of several
    // rectangles goes the slow way, split over threads.
    for (const QRect& r : event->region())
        p.drawPixmap(QRectF(r), background_,
                     QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
}

}  // namespace quenlor
