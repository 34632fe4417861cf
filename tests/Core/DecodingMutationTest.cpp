// Thousands of damaged documents, made deterministically from one that uses every
// field: reading one either gives the whole document or fails with JsonDecodeError.
#include <gtest/gtest.h>

#include <random>

#include "Core/ModelJson.h"
#include "Platform/Json/JsonEncoder.h"
#include "Support/JsonText.h"
#include "Support/SampleKests.h"

namespace kestr {
namespace {

using nlohmann::json;

// Every value's pointer inside the document, the root excepted.
void collectPointers(const json& value, const json::json_pointer& at, std::vector<json::json_pointer>& out) {
    if (!value.is_structured()) return;
    for (const auto& [key, member] : value.items()) {
        const auto here = value.is_array() ? at / std::stoul(key) : at / key;
        out.push_back(here);
        collectPointers(member, here, out);
    }
}

TEST(DecodingMutation, DamagedDocumentsDecodeWholeOrFail) {
    const json base = test::jsonOf(test::sampleDocument(1, 2));
    const std::string text = base.dump();
    std::vector<json::json_pointer> pointers;
    collectPointers(base, json::json_pointer(), pointers);
    const json replacements[] = {nullptr,
                                 true,
                                 "x",
                                 json::array(),
                                 json::object(),
                                 -1,
                                 0.5,
                                 4294967296u,
                                 1e300,
                                 "4e000000-0000-4a00-bc00-000000000000",
                                 "2024-05-01T09:30:00.5Z",
                                 "",
                                 "windowIndex"};
    std::mt19937 random(20240501u);
    auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };

    int decoded = 0, failed = 0;
    constexpr int kDocuments = 6000;
    for (int i = 0; i < kDocuments; ++i) {
        json tree = base;
        try {
            if (pick(4) == 0) {  // damaged bytes: a flipped bit or a cut
                std::string damaged = text;
                const std::size_t at = pick(damaged.size());
                if (pick(2))
                    damaged[at] = static_cast<char>(damaged[at] ^ (1 << pick(8)));
                else
                    damaged.resize(at);
                tree = parseJson(damaged);
            }
            for (auto n = pick(4); n > 0; --n) {  // up to three changes to the tree
                const auto& where = pointers[pick(pointers.size())];
                if (!tree.contains(where)) continue;  // removed by an earlier change
                json& parent = tree[where.parent_pointer()];
                if (pick(3) > 0)
                    tree[where] = replacements[pick(std::size(replacements))];
                else if (parent.is_object())
                    parent.erase(where.back());
                else
                    parent.erase(parent.begin() + static_cast<std::ptrdiff_t>(std::stoul(where.back())));
            }
            const LayoutDocument document = fromJson<LayoutDocument>(JsonValue(tree));
            ++decoded;
            // Every item and edge group of the JSON was read, and what was read reads back the same.
            ASSERT_EQ(document.layouts.size(), tree["layouts"].size()) << tree.dump();
            for (std::size_t k = 0; k < document.layouts.size(); ++k) {
                ASSERT_EQ(document.layouts[k].items.size(), tree["layouts"][k]["items"].size()) << tree.dump();
                ASSERT_EQ(document.layouts[k].edgeGroups.size(), tree["layouts"][k]["edgeGroups"].size())
                    << tree.dump();
            }
            const json reread = parseJson(JsonEncoder().encode(document));
            ASSERT_EQ(fromJson<LayoutDocument>(JsonValue(reread)), document) << tree.dump();
        } catch (const JsonDecodeError&) {
            ++failed;
        }
    }
    // Both outcomes are exercised in quantity.
    EXPECT_GT(decoded, kDocuments / 10);
    EXPECT_GT(failed, kDocuments / 2);
}

}  // namespace
}  // namespace kestr
