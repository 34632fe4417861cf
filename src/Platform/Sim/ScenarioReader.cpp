#include "Platform/Sim/ScenarioReader.h"

#include <cmath>
#include <limits>

namespace kestr {

std::string ScenarioPath::text() const {
    std::vector<const ScenarioPath*> chain;
    for (const ScenarioPath* p = this; p; p = p->parent) chain.push_back(p);
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!(*it)->key.empty()) out += (out.empty() ? "" : ".") + (*it)->key;
        if ((*it)->index) out += "[" + std::to_string(*(*it)->index) + "]";
    }
    return out;
}

ScenarioReader::ScenarioReader(const nlohmann::json& value, ScenarioPath path) : value_(value), path_(std::move(path)) {
    if (!value_.is_object()) {
        const std::string where = path_.text();
        throw SimScenarioError("scenario: " + (where.empty() ? std::string("top level") : where) +
                               ": expected an object");
    }
}

std::string ScenarioReader::pathOf(const std::string& key) const { return ScenarioPath{&path_, key, {}}.text(); }

void ScenarioReader::fail(const std::string& key, const std::string& problem) const {
    throw SimScenarioError("scenario: " + pathOf(key) + ": " + problem);
}

bool ScenarioReader::has(const std::string& key) const { return value_.contains(key); }

bool ScenarioReader::isNull(const std::string& key) const { return has(key) && value_.at(key).is_null(); }

bool ScenarioReader::absent(const std::string& key) {
    read_.insert(key);
    return !has(key) || isNull(key);
}

const nlohmann::json* ScenarioReader::take(const std::string& key, bool hasFallback) {
    read_.insert(key);
    auto it = value_.find(key);
    if (it == value_.end() || it->is_null()) {
        if (!hasFallback) fail(key, "missing");
        return nullptr;
    }
    return &*it;
}

const nlohmann::json* ScenarioReader::raw(const std::string& key) { return take(key, true); }

bool ScenarioReader::boolean(const std::string& key, std::optional<bool> fallback) {
    const nlohmann::json* v = take(key, fallback.has_value());
    if (!v) return *fallback;
    if (!v->is_boolean()) fail(key, "expected true or false");
    return v->get<bool>();
}

double ScenarioReader::number(const std::string& key, std::optional<double> fallback) {
    const nlohmann::json* v = take(key, fallback.has_value());
    if (!v) return *fallback;
    if (!v->is_number()) fail(key, "expected a number");
    return v->get<double>();
}

std::int64_t ScenarioReader::integer(const std::string& key, std::optional<std::int64_t> fallback) {
    const nlohmann::json* v = take(key, fallback.has_value());
    if (!v) return *fallback;
    if (v->is_number_unsigned()) {
        if (v->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            fail(key, "number out of range");
        }
        return static_cast<std::int64_t>(v->get<std::uint64_t>());
    }
    if (!v->is_number_integer()) fail(key, "expected a whole number");
    return v->get<std::int64_t>();
}

std::string ScenarioReader::text(const std::string& key, std::optional<std::string> fallback) {
    const nlohmann::json* v = take(key, fallback.has_value());
    if (!v) return *fallback;
    if (!v->is_string()) fail(key, "expected a string");
    return v->get<std::string>();
}

std::vector<double> ScenarioReader::numbers(const std::string& key, std::size_t count, const char* shape) {
    const nlohmann::json* v = take(key, false);
    if (!v->is_array() || v->size() != count) fail(key, std::string("expected ") + shape);
    std::vector<double> out;
    for (const auto& n : *v) {
        if (!n.is_number()) fail(key, std::string("expected ") + shape);
        out.push_back(n.get<double>());
        // Far beyond any screen, and small enough that sums and areas stay finite.
        if (!(std::fabs(out.back()) <= geometryLimit)) fail(key, "expected numbers from -1e9 to 1e9");
    }
    return out;
}

void ScenarioReader::checkExtent(const std::string& key, double width, double height) const {
    if (width < 0 || height < 0) fail(key, "expected a width and height of 0 or more");
}

Point ScenarioReader::point(const std::string& key, std::optional<Point> fallback) {
    if (fallback && absent(key)) return *fallback;
    const auto n = numbers(key, 2, "[x, y]");
    return Point{n[0], n[1]};
}

Size ScenarioReader::size(const std::string& key, std::optional<Size> fallback) {
    if (fallback && absent(key)) return *fallback;
    const auto n = numbers(key, 2, "[width, height]");
    checkExtent(key, n[0], n[1]);
    return Size{n[0], n[1]};
}

Rect ScenarioReader::rect(const std::string& key, std::optional<Rect> fallback) {
    if (fallback && absent(key)) return *fallback;
    const auto n = numbers(key, 4, "[x, y, width, height]");
    checkExtent(key, n[2], n[3]);
    return Rect(n[0], n[1], n[2], n[3]);
}

std::vector<std::string> ScenarioReader::texts(const std::string& key) {
    std::vector<std::string> out;
    for (const auto& [element, path] : array(key)) {
        if (!element->is_string()) throw SimScenarioError("scenario: " + path.text() + ": expected a string");
        out.push_back(element->get<std::string>());
    }
    return out;
}

ScenarioReader ScenarioReader::object(const std::string& key) {
    return ScenarioReader(*take(key, false), ScenarioPath{&path_, key, {}});
}

std::vector<std::pair<const nlohmann::json*, ScenarioPath>> ScenarioReader::array(const std::string& key) {
    std::vector<std::pair<const nlohmann::json*, ScenarioPath>> out;
    const nlohmann::json* v = take(key, true);
    if (!v) return out;
    if (!v->is_array()) fail(key, "expected an array");
    out.reserve(v->size());
    for (std::size_t i = 0; i < v->size(); ++i) out.emplace_back(&(*v)[i], ScenarioPath{&path_, key, i});
    return out;
}

void ScenarioReader::finish() const {
    for (const auto& [key, value] : value_.items()) {
        if (!read_.count(key)) fail(key, "unknown key");
    }
}

}  // namespace kestr
