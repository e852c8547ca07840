#pragma once

#include <QPushButton>
#include <QString>

namespace quenlor {

// A button of the USB windows: named for the tests, and never the default
// button, so Enter in a word or delay box does not press it.
inline QPushButton* Button(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace quenlor
