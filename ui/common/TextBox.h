#pragma once

#include <QLineEdit>

namespace quenlor {

// Keeps a line edit's text inside its box where the font engine reports the
// glyphs' bounding boxes taller than the font's line. The line edit centres
// its text on those boxes: given boxes several lines tall (Qt's Windows
// engine does so for the default font under Wine), it puts the text above
// the box, where it is clipped away whole. Such a box gets its text placed
// from the top, which for a box one line high is about where the centred text
// would be; elsewhere the box is left as it is.
void KeepTextInBox(QLineEdit& box);

}  // namespace quenlor
