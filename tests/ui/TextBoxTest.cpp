// A text box's text lands inside the box, whatever the font engine makes of
// the glyphs' bounding boxes: Qt's Windows engine under Wine gives the default
// font's digits boxes four lines tall. scripts/windows-program runs this on
// Qt's Windows platform as well.

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>

#include "ui/main/OutputPanel.h"

namespace quenlor {
namespace {

// Pixels inside the frame about as dark as the text.
int InkInside(QLineEdit& box) {
    const QImage image = box.grab().toImage();
    int ink = 0;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            ink += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return ink;
}

TEST(TextBox, ValueBoxDrawsItsText) {
    OutputPanel panel;
    panel.show();
    QLineEdit& box = panel.txtReadReg(1);
    box.setText(QString());
    EXPECT_EQ(InkInside(box), 0);
    box.setText(QStringLiteral("-888.888"));
    EXPECT_GT(InkInside(box), 20);
}

}  // namespace
}  // namespace quenlor
