#include "Platform/Date.h"

#include <cmath>
#include <cstdio>

#include "Platform/Platform.h"

namespace kestr {

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date, and back.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

int daysInMonth(std::int64_t y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

// Reads `count` ASCII digits at `pos`; -1 when any is not a digit.
int digits(std::string_view s, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

// The offset part after the seconds: "Z", "+HH:MM", "+HHMM" (or with "-"), in seconds.
std::optional<int> parseOffset(std::string_view s) {
    if (s == "Z") return 0;
    if (s.size() != 6 && s.size() != 5) return std::nullopt;
    if (s[0] != '+' && s[0] != '-') return std::nullopt;
    const int hours = digits(s, 1, 2);
    std::size_t minutePos = 3;
    if (s.size() == 6) {
        if (s[3] != ':') return std::nullopt;
        minutePos = 4;
    }
    const int minutes = digits(s, minutePos, 2);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return std::nullopt;
    const int offset = hours * 3600 + minutes * 60;
    return s[0] == '-' ? -offset : offset;
}

}  // namespace

Date Date::now() { return Date{platform().clock().now()}; }

std::optional<Date> Date::parseISO8601(std::string_view s) {
    // yyyy-MM-ddTHH:mm:ss is 19 characters, then the offset.
    if (s.size() < 20) return std::nullopt;
    if (s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':') return std::nullopt;
    CivilTime t;
    const int year = digits(s, 0, 4);
    t.month = digits(s, 5, 2);
    t.day = digits(s, 8, 2);
    t.hour = digits(s, 11, 2);
    t.minute = digits(s, 14, 2);
    t.second = digits(s, 17, 2);
    if (year < 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59)
        return std::nullopt;
    t.year = year;
    if (t.day > daysInMonth(t.year, t.month)) return std::nullopt;
    const auto offset = parseOffset(s.substr(19));
    if (!offset) return std::nullopt;
    const Date date = fromCivil(t, *offset);
    // An offset can push the instant out of the years that can be written back.
    if (!date.iso8601String()) return std::nullopt;
    return date;
}

std::optional<std::string> Date::iso8601String() const {
    if (!std::isfinite(secondsSince1970)) return std::nullopt;
    // Beyond this the calendar arithmetic below could overflow; such years have no
    // four-digit form anyway.
    if (std::fabs(secondsSince1970) > 1e15) return std::nullopt;
    const CivilTime t = civil(0);
    if (t.year < 0 || t.year > 9999) return std::nullopt;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", static_cast<int>(t.year), t.month, t.day,
                  t.hour, t.minute, t.second);
    return std::string(buffer);
}

CivilTime Date::civil(int offsetSeconds) const {
    const auto whole = static_cast<std::int64_t>(std::floor(secondsSince1970)) + offsetSeconds;
    std::int64_t days = whole / 86400;
    std::int64_t rest = whole % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    CivilTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

Date Date::fromCivil(const CivilTime& t, int offsetSeconds) {
    const std::int64_t days = daysFromCivil(t.year, t.month, t.day);
    const std::int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second - offsetSeconds;
    return Date{static_cast<double>(seconds)};
}

}  // namespace kestr
