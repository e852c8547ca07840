#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QString>
#include <QTimeZone>

#include "ui/common/QtLocaleInfo.h"

namespace quenlor {
namespace {

QString LongTimeIn(const char* name) {
    QLocale::setDefault(QLocale(name));
    const QString text = QString::fromStdString(QtLocaleInfo().longTime());
    QLocale::setDefault(QLocale::c());
    return text;
}

TEST(QtLocaleInfoTest, LongTimeIsTheClockTimeWithoutTheZone) {
    const QString zone = QTimeZone::systemTimeZone().abbreviation(QDateTime::currentDateTime());
    struct Case {
        const char* locale;
        const char* pattern;
    };
    for (const Case& c :
         {Case{"en_US", R"(^\d{1,2}:\d\d:\d\d (AM|PM)$)"}, Case{"de_DE", R"(^\d\d:\d\d:\d\d$)"},
          Case{"C", R"(^\d\d:\d\d:\d\d$)"}, Case{"zh_CN", R"(^\d\d:\d\d:\d\d$)"}}) {
        const QString text = LongTimeIn(c.locale);
        EXPECT_TRUE(QRegularExpression(c.pattern).match(text).hasMatch())
            << c.locale << ": " << text.toStdString();
        if (!zone.isEmpty()) {
            EXPECT_FALSE(text.contains(zone)) << c.locale << ": " << text.toStdString();
        }
    }
}

TEST(QtLocaleInfoTest, SeparatorAndDateFollowTheDefaultLocale) {
    QLocale::setDefault(QLocale("de_DE"));
    EXPECT_EQ(QtLocaleInfo().decimalSeparator(), ",");
    EXPECT_TRUE(QRegularExpression(R"(^\d\d\.\d\d\.\d\d$)")
                    .match(QString::fromStdString(QtLocaleInfo().shortDate()))
                    .hasMatch());
    QLocale::setDefault(QLocale("en_US"));
    EXPECT_EQ(QtLocaleInfo().decimalSeparator(), ".");
    QLocale::setDefault(QLocale::c());
}

}  // namespace
}  // namespace quenlor
