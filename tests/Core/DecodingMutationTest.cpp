// Thousands of damaged documents, made deterministically from one that uses every
// field: reading one either gives the whole document or fails with JsonDecodeError.
//
// The debug build would spend minutes in the JSON parser's unoptimised templates; the
// parser and this file are optimised here, still under the sanitizers.
#pragma GCC optimize("O2")
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <variant>

#include "Core/JsonEncoder.h"
#include "Core/ModelJson.h"
#include "Support/JsonText.h"
#include "Support/SampleKests.h"

namespace kestr {
namespace {

using nlohmann::json;

constexpr int kDocuments = 20000;

// Every value's pointer inside the document, the root excepted.
void collectPointers(const json& value, const json::json_pointer& at, std::vector<json::json_pointer>& out) {
    if (value.is_object()) {
        for (const auto& [key, member] : value.items()) {
            out.push_back(at / key);
            collectPointers(member, at / key, out);
        }
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            out.push_back(at / i);
            collectPointers(value[i], at / i, out);
        }
    }
}

class Mutator {
public:
    Mutator(const json& base, unsigned seed) : base_(base), text_(base.dump()), random_(seed) {
        collectPointers(base_, json::json_pointer(), pointers_);
    }

    // Damaged bytes, or a damaged tree as the parser would have given it (decoded
    // directly, which keeps the run short).
    std::variant<std::string, json> next() {
        const int kind = pick(10);
        if (kind < 4) return mutateBytes(kind);
        json doc = base_;
        // Up to three changes to the tree at once.
        for (int n = 1 + pick(3); n > 0; --n) mutateTree(doc);
        return doc;
    }

private:
    int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
    std::size_t position(std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random_); }

    std::string mutateBytes(int kind) {
        std::string text = text_;
        static const char interesting[] = {'"', '{', '}', '[', ']', ',', ':', '0', '-', '.', 'e', '\\',
                                           '\0', '\xff', '\xc3', 'n', ' ', '9', 'Z', 'T'};
        const std::size_t at = position(text.size());
        switch (kind) {
            case 0: text[at] = static_cast<char>(text[at] ^ (1 << pick(8))); break;
            case 1: text.resize(at); break;
            case 2: text[at] = interesting[pick(sizeof interesting)]; break;
            default: text.erase(at, 1 + position(std::min<std::size_t>(64, text.size() - at))); break;
        }
        return text;
    }

    void mutateTree(json& doc) {
        const auto& where = pointers_[position(pointers_.size())];
        if (!doc.contains(where)) return;  // removed by an earlier change
        json& value = doc[where];
        static const json wrongTypes[] = {nullptr, true, 0, "x", json::array(), json::object(), -1, 0.5};
        static const json numbers[] = {1.5,          -1,   4294967296u,         18446744073709551615u, 1e300,
                                       -1e300,       -0.0, 9223372036854775807, 4294967295u,           1e19,
                                       0.000000001, 2.0};
        static const json strings[] = {"4e000000-0000-4a00-bc00-000000000000",
                                       "4E000000-0000-4A00-BC00-00000000000",
                                       "4E000000-0000-4A00-BC00-0000000000000",
                                       "4E000000_0000-4A00-BC00-000000000000",
                                       "2024-05-01T09:30:00.5Z",
                                       "2024-05-01T11:30:00+02:00",
                                       "2024-02-30T00:00:00Z",
                                       "2024-05-01T09:30:00",
                                       "",
                                       "firstWindow",
                                       "windowIndex",
                                       "titleregex",
                                       "horizontal",
                                       "Top",
                                       "not a url",
                                       "https://example.com/x"};
        switch (pick(6)) {
            case 0: {  // remove the key or element
                json& parent = doc[where.parent_pointer()];
                if (parent.is_object()) parent.erase(where.back());
                else parent.erase(parent.begin() + static_cast<std::ptrdiff_t>(std::stoul(where.back())));
                break;
            }
            case 1: value = wrongTypes[pick(std::size(wrongTypes))]; break;
            case 2: value = numbers[pick(std::size(numbers))]; break;
            case 3: value = strings[pick(std::size(strings))]; break;
            case 4:  // an unknown key, or a null in place of an optional
                if (value.is_object()) value[pick(2) ? "unknownKey" : "capturedFrame"] = pick(2) ? json() : json(7);
                else value = nullptr;
                break;
            default: {  // a copy of another value of the document
                const auto& other = pointers_[position(pointers_.size())];
                if (base_.contains(other)) value = base_[other];
                break;
            }
        }
    }

    json base_;
    std::string text_;
    std::vector<json::json_pointer> pointers_;
    std::mt19937 random_;
};

// The document's structure, counted from the JSON itself: a decoded document must hold
// every kest, item and edge group the JSON holds.
std::vector<std::size_t> shapeOf(const json& doc) {
    std::vector<std::size_t> shape{doc["layouts"].size()};
    for (const auto& kest : doc["layouts"]) {
        shape.push_back(kest["items"].size());
        shape.push_back(kest["edgeGroups"].size());
    }
    return shape;
}

std::vector<std::size_t> shapeOf(const LayoutDocument& document) {
    std::vector<std::size_t> shape{document.layouts.size()};
    for (const auto& kest : document.layouts) {
        shape.push_back(kest.items.size());
        shape.push_back(kest.edgeGroups.size());
    }
    return shape;
}

// One kest with one item and one edge group, every optional field in use, values
// short: small, so that twenty thousand variants stay quick under the sanitizers.
LayoutDocument baseDocument() {
    LayoutItem item;
    item.id = test::sampleUuid(0x17, 1);
    item.appBundleID = "a.b";
    item.appName = "A/é";
    item.windowMatcher = WindowMatcher::titleRegex("^x");
    item.targetFrame = ScreenFrame{"D", 1, 2.5, 3, 4, 5, 6, -7, 8};
    item.capturedFrame = ScreenFrame{"E", 0, 0, 1, 1, {}, 2, {}, 3};
    item.capturedWindowTitle = "t";
    item.capturedSpaceLabel = "This Space";
    item.launchIfMissing = false;
    item.launchArguments = std::vector<std::string>{"-a"};
    item.openURL = Url::parse("https://e.com/a");
    item.openFiles = std::vector<Url>{*Url::parse("file:///f")};
    item.openFolders = std::vector<Url>{*Url::parse("file:///d/")};
    item.runShellCommand = "ls";
    item.finderPath = "/p";
    item.browserURL = "https://e.com/b";
    item.browserTabs = std::vector<std::string>{"u", "v"};
    item.browserActiveTabIndex = 1;
    item.terminalTabs = std::vector<std::string>{"top"};
    item.terminalProfile = "P";
    item.terminalSplitMode = "rows";
    item.finderSidebarWidth = 150;

    EdgeGroup group;
    group.id = test::sampleUuid(0xe6, 1);
    group.axis = Axis::horizontal;
    group.displayUUID = "D";
    group.coordinate = 0.5;
    group.leftOrTopItems = {{item.id, WindowEdge::bottom}};
    group.rightOrBottomItems = {{item.id, WindowEdge::top}};
    group.minCoordinate = -1;
    group.maxCoordinate = 1e3;
    group.spanStart = 2;
    group.spanEnd = 3;

    Layout kest;
    kest.id = test::sampleUuid(0x4e, 1);
    kest.name = "K";
    kest.hotkey = Hotkey{36, 0x1900};
    kest.items = {item};
    kest.edgeGroups = {group};
    kest.createdAt = Date{1714555800};
    kest.updatedAt = Date{1714555801};
    return LayoutDocument{1, {kest}};
}

struct Outcome {
    int decoded = 0;
    int failed = 0;
    std::string problem;  // the first document that broke the rule
};

Outcome decodeDamaged(const json& base, unsigned seed, int count) {
    Mutator mutator(base, seed);
    Outcome outcome;
    for (int i = 0; i < count && outcome.problem.empty(); ++i) {
        const auto damaged = mutator.next();
        LayoutDocument document;
        json tree;
        try {
            if (const auto* text = std::get_if<std::string>(&damaged))
                tree = parseJson(*text);
            else
                tree = std::get<json>(damaged);
            document = fromJson<LayoutDocument>(JsonValue(tree));
        } catch (const JsonDecodeError&) {
            ++outcome.failed;
            continue;
        }
        ++outcome.decoded;
        if (shapeOf(document) != shapeOf(tree)) outcome.problem = "part of the document was read: " + tree.dump();
        // What was read can always be written, and reads back the same.
        else {
            const json written = toJson(document);
            JsonEncoder().encode(written);
            if (fromJson<LayoutDocument>(JsonValue(written)) != document)
                outcome.problem = "read back differently: " + tree.dump();
        }
    }
    return outcome;
}

TEST(DecodingMutation, DamagedDocumentsDecodeWholeOrFail) {
    const json base = toJson(baseDocument());
    ASSERT_EQ(test::decodeText<LayoutDocument>(base.dump()), baseDocument());
    // Four independent batches with fixed seeds, side by side: the decoder keeps no
    // state, and the run stays short.
    constexpr int kBatches = 4;
    std::vector<Outcome> outcomes(kBatches);
    std::vector<std::thread> workers;
    for (int b = 0; b < kBatches; ++b)
        workers.emplace_back([&, b] { outcomes[b] = decodeDamaged(base, 20240501u + b, kDocuments / kBatches); });
    for (auto& worker : workers) worker.join();

    int decoded = 0, failed = 0;
    for (const auto& outcome : outcomes) {
        EXPECT_EQ(outcome.problem, "");
        decoded += outcome.decoded;
        failed += outcome.failed;
    }
    EXPECT_EQ(decoded + failed, kDocuments);
    // Both outcomes are exercised in quantity.
    EXPECT_GT(decoded, kDocuments / 10);
    EXPECT_GT(failed, kDocuments / 2);
}

}  // namespace
}  // namespace kestr
