// The value boxes' panel drawn from a copy: the same pixels as the style draws
// them, and a new copy for every new look.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <memory>

#include "ui/main/CachedPanelStyle.h"

namespace quenlor {
namespace {

TEST(CachedPanelStyle, PaintsValueBoxesAsTheStyleDoesInEveryLook) {
    QWidget window;
    std::unique_ptr<CachedPanelStyle> style(CachedPanelStyle::OfApplicationStyle(nullptr));
    ASSERT_NE(style, nullptr);
    auto* cached = new QLineEdit(QStringLiteral("-0.248"), &window);
    auto* plain = new QLineEdit(QStringLiteral("-0.248"), &window);
    cached->setStyle(style.get());
    for (QLineEdit* box : {cached, plain}) {
        box->setFixedWidth(90);
        box->setAlignment(Qt::AlignRight);
    }
    plain->move(0, 40);
    window.show();
    auto same = [&] { return cached->grab().toImage() == plain->grab().toImage(); };

    EXPECT_TRUE(same());
    EXPECT_TRUE(same());
    EXPECT_EQ(style->rendered(), 1);  // the second paint came from the copy

    // Greyed as the read loop marks a reading that is not a measurement: a
    // copy of the old look would keep the white base.
    QPalette grey = cached->palette();
    grey.setColor(QPalette::Base, QColor(226, 226, 226));
    grey.setColor(QPalette::Text, QColor(150, 150, 150));
    for (QLineEdit* box : {cached, plain})
        box->setPalette(grey);
    EXPECT_TRUE(same());
    // Back to the first look, whose copy is kept.
    for (QLineEdit* box : {cached, plain})
        box->setPalette(QPalette());
    EXPECT_TRUE(same());

    for (QLineEdit* box : {cached, plain})
        box->setFixedWidth(120);
    EXPECT_TRUE(same());
    EXPECT_EQ(style->rendered(), 3);
}

}  // namespace
}  // namespace quenlor
