// Strict reading of one JSON object of a scenario file: every key is checked for its
// type, unknown keys are refused (they are most likely misspelt), and every failure
// names the key path ("processes[2].windows[0].size").
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/Error.h"
#include "Platform/Geometry.h"

namespace kestr {

class SimScenarioError : public Error {
public:
    using Error::Error;
};

// Where a value stands in the scenario: a chain of keys and indexes back to the top
// level. Its text ("processes[2].windows[0]") is only built for a failure, so that a
// deep or wide document costs no text per value read.
struct ScenarioPath {
    const ScenarioPath* parent = nullptr;
    std::string key;
    std::optional<std::size_t> index;

    // Empty for the top level.
    std::string text() const;
};

class ScenarioReader {
public:
    // Positions and sizes of the desktop lie within ±geometryLimit.
    static constexpr double geometryLimit = 1e9;

    // Fails unless `value` is an object. Readers of nested values point back at their
    // parent's path, so a reader stays where it was made.
    ScenarioReader(const nlohmann::json& value, ScenarioPath path);
    ScenarioReader(const ScenarioReader&) = delete;
    ScenarioReader& operator=(const ScenarioReader&) = delete;

    // Whether the key is there (a null counts as there).
    bool has(const std::string& key) const;
    bool isNull(const std::string& key) const;
    // Marks the key read; true when it is missing or null.
    bool absent(const std::string& key);

    bool boolean(const std::string& key, std::optional<bool> fallback = std::nullopt);
    double number(const std::string& key, std::optional<double> fallback = std::nullopt);
    std::int64_t integer(const std::string& key, std::optional<std::int64_t> fallback = std::nullopt);
    std::string text(const std::string& key, std::optional<std::string> fallback = std::nullopt);
    Point point(const std::string& key, std::optional<Point> fallback = std::nullopt);
    Size size(const std::string& key, std::optional<Size> fallback = std::nullopt);
    Rect rect(const std::string& key, std::optional<Rect> fallback = std::nullopt);
    std::vector<std::string> texts(const std::string& key);
    // The value of a key that must be an object, for a nested reader.
    ScenarioReader object(const std::string& key);
    // The elements of a key that must be an array (an absent key: none), each with its
    // path.
    std::vector<std::pair<const nlohmann::json*, ScenarioPath>> array(const std::string& key);
    // The raw value, marked as read; none when absent.
    const nlohmann::json* raw(const std::string& key);

    // Refuses keys that nothing read.
    void finish() const;

    [[noreturn]] void fail(const std::string& key, const std::string& problem) const;
    std::string pathOf(const std::string& key) const;

private:
    // The value of a present, non-null key; none when absent (then `fallback` or a
    // failure decides).
    const nlohmann::json* take(const std::string& key, bool hasFallback);
    std::vector<double> numbers(const std::string& key, std::size_t count, const char* shape);
    void checkExtent(const std::string& key, double width, double height) const;

    const nlohmann::json& value_;
    ScenarioPath path_;
    std::set<std::string> read_;
};

}  // namespace kestr
