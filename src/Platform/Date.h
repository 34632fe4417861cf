// A point in time: seconds since 1970-01-01T00:00:00Z, kept to full double precision in
// memory. Stored files hold whole-second ISO 8601 text in UTC.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestr {

// A calendar date and time of day, in some time zone.
struct CivilTime {
    std::int64_t year = 1970;
    int month = 1;  // 1...12
    int day = 1;    // 1...31
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

struct Date {
    double secondsSince1970 = 0;

    // The platform clock's current time.
    static Date now();

    // "2024-05-01T09:30:00Z" or with a numeric offset ("+02:00", "-0530"); no fraction of
    // a second. Anything else, an impossible date, or an instant whose UTC year has no
    // four-digit form (so that it could not be written back) gives nullopt.
    static std::optional<Date> parseISO8601(std::string_view text);
    // UTC with whole seconds (the fraction is dropped) and the suffix "Z"; nullopt when
    // the time is not finite or its year has no four-digit form.
    std::optional<std::string> iso8601String() const;

    // The calendar time `offsetSeconds` east of UTC, the fraction of a second dropped.
    // The time must be finite.
    CivilTime civil(int offsetSeconds = 0) const;
    static Date fromCivil(const CivilTime& time, int offsetSeconds = 0);

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

}  // namespace kestr
