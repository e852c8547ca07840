#include "ui/common/TextBox.h"

#include <QFontMetrics>

namespace quenlor {

void KeepTextInBox(QLineEdit& box) {
    // What the boxes hold: numbers, hexadecimal words, names.
    const QFontMetrics metrics(box.font());
    const int glyphs = metrics.boundingRect(QStringLiteral("0123456789.-ABCDEFgjpqy")).height();
    if (glyphs > metrics.height())
        box.setAlignment((box.alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
}

}  // namespace quenlor
