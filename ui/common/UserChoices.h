#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

#include "platform/AppDirectory.h"

class QWidget;

namespace quenlor {

// The user's choices in the windows (chart scales, the datalog window's
// fields and boxes, the register window's selection, window positions),
// kept between runs in a settings file of their own in the settings folder,
// apart from CommPort.cfg. A missing or damaged file gives the defaults: a
// value is used only when it reads back as what it was written as.
class UserChoices {
  public:
    explicit UserChoices(const AppDirectory& appDir);
    ~UserChoices();

    static constexpr const char* kFileName = "QuenlorEval.ini";

    // The text stored under `key`, or `fallback`.
    QString text(const QString& key, const QString& fallback) const;
    // The flag stored under `key` ("true" or "false"), or `fallback`.
    bool flag(const QString& key, bool fallback) const;
    void set(const QString& key, const QString& value);
    void set(const QString& key, bool value);

    // The window's place and size as last kept, when there is one that fits.
    void restorePlace(QWidget& window, const QString& key) const;
    void keepPlace(const QWidget& window, const QString& key);

  private:
    std::unique_ptr<QSettings> file_;
};

}  // namespace quenlor
