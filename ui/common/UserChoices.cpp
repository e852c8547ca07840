#include "ui/common/UserChoices.h"

#include <QByteArray>
#include <QWidget>

namespace quenlor {

UserChoices::UserChoices(const AppDirectory& appDir) {
    const std::filesystem::path file = appDir.settingsDirectory() / kFileName;
    file_ = std::make_unique<QSettings>(QString::fromStdU16String(file.u16string()),
                                        QSettings::IniFormat);
}

UserChoices::~UserChoices() = default;

QString UserChoices::text(const QString& key, const QString& fallback) const {
    if (file_->status() != QSettings::NoError)
        return fallback;
    const QVariant value = file_->value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}

bool UserChoices::flag(const QString& key, bool fallback) const {
    const QString value = text(key, QString());
    if (value == QLatin1String("true"))
        return true;
    if (value == QLatin1String("false"))
        return false;
    return fallback;
}

void UserChoices::set(const QString& key, const QString& value) {
    file_->setValue(key, value);
    file_->sync();
}

void UserChoices::set(const QString& key, bool value) {
    set(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void UserChoices::restorePlace(QWidget& window, const QString& key) const {
    if (file_->status() != QSettings::NoError)
        return;
    // restoreGeometry refuses what it cannot read and moves a window that
    // would land off every screen back onto one.
    window.restoreGeometry(QByteArray::fromBase64(text(key, QString()).toLatin1()));
}

void UserChoices::keepPlace(const QWidget& window, const QString& key) {
    set(key, QString::fromLatin1(window.saveGeometry().toBase64()));
}

}  // namespace quenlor
