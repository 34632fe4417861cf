// Window names in the encodings X programs write them in.
#include "Platform/X11/X11Text.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

TEST(X11TextTest, CompoundTextReadsEverySetItDesignates) {
    // As xterm writes "日本 über": JIS X 0208 in the lower half, then ASCII and Latin-1.
    EXPECT_EQ(X11Text::fromCompoundText("\x1b$(BF|K\\\x1b(B \xfc"
                                        "ber"),
              "日本 über");
    // The same set in the upper half, a space between two of its characters, Latin-2 in
    // place of Latin-1, Korean, UTF-8 and an extended segment naming its encoding.
    EXPECT_EQ(X11Text::fromCompoundText("\x1b$)B\xC6\xFC \xCB\xDC"), "日 本");
    EXPECT_EQ(X11Text::fromCompoundText("\x1b-B\xA3\xF3"
                                        "d\xBC"),
              "Łódź");
    EXPECT_EQ(X11Text::fromCompoundText("\x1b$)C\xC7\xD1"), "한");
    EXPECT_EQ(X11Text::fromCompoundText("a\x1b%G\xE2\x86\x92\x1b%@b"), "a→b");
    EXPECT_EQ(X11Text::fromCompoundText("\x1b%/1\x80\x8Ciso8859-15\x02\xA4"), "€");
    // A direction changes nothing; a set it does not know stands as replacements.
    EXPECT_EQ(X11Text::fromCompoundText("\x9b"
                                        "1]ab\x9b]"),
              "ab");
    EXPECT_EQ(X11Text::fromCompoundText("\x1b$(Z!!!!\x1b(Bx"), "\xEF\xBF\xBD\xEF\xBF\xBDx");
    EXPECT_EQ(X11Text::fromLatin1("\xE9t\xE9"), "été");
}

}  // namespace
}  // namespace kestr
