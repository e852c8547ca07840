#pragma once

#include <QPixmap>
#include <QProxyStyle>
#include <QSize>
#include <vector>

namespace quenlor {

// The application's style, except that a line edit's panel (its base and
// frame) is drawn once per look and size and then copied. A value box of the
// read loop repaints whole at every changed reading, and most of that is the
// style drawing the same antialiased frame again.
class CachedPanelStyle : public QProxyStyle {
    Q_OBJECT
  public:
    // A copy of the application's style, or null when it cannot be made (a
    // style that is not a plugin): the boxes then keep the style they have.
    static CachedPanelStyle* OfApplicationStyle(QObject* owner);

    explicit CachedPanelStyle(QStyle* base);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Panels drawn by the style itself so far: each is a look not seen before.
    int rendered() const { return rendered_; }

  private:
    struct Key {
        QSize size;
        qreal dpr = 1;
        int state = 0;
        int direction = 0;
        int lineWidth = 0;
        int midLineWidth = 0;
        int features = 0;
        qint64 palette = 0;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        QPixmap pixmap;
    };
    static constexpr std::size_t kEntries = 8;

    static bool copyable(const QPainter& painter);
    const QPixmap& panel(const Key& key, const QStyleOption& option, const QWidget* widget) const;

    // Most recently used first; a few looks (live, not live, with focus) at one size.
    mutable std::vector<Entry> entries_;
    mutable int rendered_ = 0;
};

}  // namespace quenlor
