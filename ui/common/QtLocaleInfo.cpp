#include "ui/common/QtLocaleInfo.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace quenlor {

namespace {

// Qt's long time format ends in the time zone ("t") on most systems; the time
// in a datalog header is the clock time alone, as tools reading the files expect.
QString WithoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.simplified();
}

}  // namespace

std::string QtLocaleInfo::decimalSeparator() const {
    return QLocale().decimalPoint().toStdString();
}

std::string QtLocaleInfo::groupSeparator() const {
    return QLocale().groupSeparator().toStdString();
}

std::string QtLocaleInfo::shortDate() const {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtLocaleInfo::longTime() const {
    const QLocale locale;
    return locale
        .toString(QTime::currentTime(), WithoutZone(locale.timeFormat(QLocale::LongFormat)))
        .toStdString();
}

}  // namespace quenlor
