#include "app/cli/ConsoleSeams.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

namespace quenlor {

namespace {

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return tm;
}

// The system's locale as the environment names it; the classic one when that
// names none the library knows.
std::locale SystemLocale() {
    try {
        return std::locale("");
    } catch (const std::exception&) {
        return std::locale::classic();
    }
}

std::string Formatted(const char* format) {
    const std::tm tm = LocalNow();
    std::ostringstream out;
    out.imbue(SystemLocale());
    out << std::put_time(&tm, format);
    return out.str();
}

}  // namespace

ConsoleSeams::ConsoleSeams() : ProgramFolders(SystemLocations(), &CanCreateFileIn) {
    const char point = std::use_facet<std::numpunct<char>>(SystemLocale()).decimal_point();
    decimal_ = std::string(1, point);
}

float ConsoleSeams::secondsSinceMidnight() {
    using namespace std::chrono;
    const std::tm tm = LocalNow();
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    const double fraction = double(duration_cast<milliseconds>(sinceEpoch).count() % 1000) / 1000.0;
    return static_cast<float>(tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec + fraction);
}

std::string ConsoleSeams::shortDate() const {
    return Formatted("%x");
}

std::string ConsoleSeams::longTime() const {
    return Formatted("%X");
}

LocalDateTime ConsoleSeams::localDateTime() {
    const std::tm tm = LocalNow();
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace quenlor
