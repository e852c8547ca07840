#include "ui/main/CachedPanelStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

namespace quenlor {

CachedPanelStyle* CachedPanelStyle::OfApplicationStyle(QObject* owner) {
    QStyle* app = QApplication::style();
    QStyle* copy = app ? QStyleFactory::create(app->name()) : nullptr;
    if (!copy)
        return nullptr;
    auto* style = new CachedPanelStyle(copy);
    style->setParent(owner);
    return style;
}

CachedPanelStyle::CachedPanelStyle(QStyle* base) : QProxyStyle(base) {}

bool CachedPanelStyle::copyable(const QPainter& painter) {
    // A copy is the same pixels only where it lands on whole device pixels
    // and is laid over what is there, as the style would draw.
    const QTransform& t = painter.transform();
    const qreal dpr = painter.device()->devicePixelRatio();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
           t.dy() == std::floor(t.dy()) && dpr == std::floor(dpr) && painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame || !painter || !painter->isActive() ||
        option->rect.isEmpty() || !copyable(*painter)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const Key key{option->rect.size(),
                  painter->device()->devicePixelRatio(),
                  static_cast<int>(option->state),
                  static_cast<int>(option->direction),
                  frame->lineWidth,
                  frame->midLineWidth,
                  static_cast<int>(frame->features),
                  option->palette.cacheKey()};
    painter->drawPixmap(option->rect.topLeft(), panel(key, *option, widget));
}

const QPixmap& CachedPanelStyle::panel(const Key& key, const QStyleOption& option,
                                       const QWidget* widget) const {
    const auto hit = std::find_if(entries_.begin(), entries_.end(),
                                  [&key](const Entry& e) { return e.key == key; });
    if (hit != entries_.end()) {
        std::rotate(entries_.begin(), hit, hit + 1);
        return entries_.front().pixmap;
    }
    QPixmap pixmap(key.size * key.dpr);
    pixmap.setDevicePixelRatio(key.dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.translate(-option.rect.topLeft());
    QProxyStyle::drawPrimitive(PE_PanelLineEdit, &option, &p, widget);
    p.end();
    ++rendered_;
    entries_.insert(entries_.begin(), Entry{key, std::move(pixmap)});
    if (entries_.size() > kEntries)
        entries_.pop_back();
    return entries_.front().pixmap;
}

}  // namespace quenlor
