#pragma once

#include <QPointer>
#include <QWidget>

namespace quenlor {

// What a window opened from the main window needs to know of it: where to sit
// and whether the program is ending. At start-up with no usable card such a
// window can be opened before the main window is on screen, so "not visible"
// means neither "ending" nor "a position to copy".
class MainWindowLink {
  public:
    // Set on the main window once it is closing; a property, so the windows
    // opened from it need not know the main window's class.
    static constexpr const char* kClosingProperty = "quenlorClosing";

    explicit MainWindowLink(QWidget* mainWindow);

    // Moves `window` onto the main window, once: at the first call after the
    // main window is on screen. Later calls leave it where the user put it.
    void place(QWidget& window);
    // True while Qt shuts down, once the main window is closing, or when the
    // main window given is gone.
    bool programEnding() const;
    QWidget* mainWindow() const { return mainWindow_.data(); }

  private:
    QPointer<QWidget> mainWindow_;
    bool hadMainWindow_;
    bool placed_ = false;
};

}  // namespace quenlor
