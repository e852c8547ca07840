#include "ui/QtLocaleInfo.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace quenlor {

std::string QtLocaleInfo::decimalSeparator() const {
    return QLocale().decimalPoint().toStdString();
}

std::string QtLocaleInfo::shortDate() const {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtLocaleInfo::longTime() const {
    return QLocale().toString(QTime::currentTime(), QLocale::LongFormat).toStdString();
}

}  // namespace quenlor
