#include "common/split_path.h"

#include <gtest/gtest.h>

#include "common/bounded_text.h"

namespace {

struct Split {
    bool ok;
    std::string directory;
    std::string name;
};

Split SplitOf(const char* path) {
    char directory[256] = "junk";
    char name[256] = "junk";
    bool ok = kit::SplitPath(path, directory, sizeof directory, name, sizeof name);
    return {ok, directory, name};
}

TEST(SplitPath, DirectoryKeepsItsBackslashAndNameIsTheRest) {
    Split s = SplitOf("C:\\KIT\\plugmaj.exe");
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.directory, "C:\\KIT\\");
    EXPECT_EQ(s.name, "plugmaj.exe");

    s = SplitOf("C:\\IE\\");
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.directory, "C:\\IE\\");
    EXPECT_EQ(s.name, "");
}

TEST(SplitPath, ShortPathsAndPathsWithoutBackslashFailWithEmptyOutputs) {
    for (const char* path : {"C:\\", "a\\b", "", "quadterm.exe", "C:/KIT/x.exe"}) {
        Split s = SplitOf(path);
        EXPECT_FALSE(s.ok) << path;
        EXPECT_EQ(s.directory, "") << path;
        EXPECT_EQ(s.name, "") << path;
    }
    // Four characters are enough.
    Split s = SplitOf("C:\\a");
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.directory, "C:\\");
    EXPECT_EQ(s.name, "a");
}

TEST(SplitPath, OutputsAreCutToTheirBuffers) {
    char directory[8];
    char name[4];
    EXPECT_TRUE(kit::SplitPath("C:\\LONGDIRECTORY\\longname.exe", directory, sizeof directory, name,
                               sizeof name));
    EXPECT_STREQ(directory, "C:\\LONG");
    EXPECT_STREQ(name, "lon");
}

TEST(BoundedText, CutKeepsCapacityMinusOneCharacters) {
    EXPECT_EQ(kit::CutToCapacity("abcdef", 4), "abc");
    EXPECT_EQ(kit::CutToCapacity("abc", 4), "abc");
    EXPECT_EQ(kit::CutToCapacity("abc", 0), "");
    kit::FixedText<128> text(std::string(300, 'x'));
    EXPECT_EQ(text.size(), 127u);
}

}  // namespace
