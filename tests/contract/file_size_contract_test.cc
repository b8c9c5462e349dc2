// A file's size, and why a folder could not be made, the same on both back ends: the extraction
// program checks its copies by their sizes and tells the subscriber why it could not make the
// installation folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "tests/contract/contract_env.h"

namespace {

TEST(FileSizeContract, TheSizeOfAFileNotOfAFolderNorOfNothing) {
    const std::string folder = contract::FreshFolder();
    const std::string file = folder + "\\donnees.bin";
    ASSERT_TRUE(
        plat::WriteWholeFile(file.c_str(), std::string("a\0b\r\n", 5) + std::string(70000, 'x')));
    std::uint64_t size = 0;
    ASSERT_TRUE(plat::GetFileSize(file.c_str(), &size));
    EXPECT_EQ(size, 70005u);
    ASSERT_TRUE(plat::WriteWholeFile(file.c_str(), ""));
    ASSERT_TRUE(plat::GetFileSize(file.c_str(), &size));
    EXPECT_EQ(size, 0u);
    size = 7;
    EXPECT_FALSE(plat::GetFileSize((folder + "\\absent.bin").c_str(), &size));
    EXPECT_FALSE(plat::GetFileSize(folder.c_str(), &size));
    EXPECT_EQ(size, 7u);
}

TEST(FileSizeContract, AFolderThatCannotBeMadeSaysWhy) {
    const std::string folder = contract::FreshFolder();
    EXPECT_FALSE(plat::CreateDirectory((folder + "\\absent\\dossier").c_str()));
    EXPECT_EQ(plat::LastFileError(), 3u);  // the path is not found
    EXPECT_FALSE(plat::CreateDirectory(folder.c_str()));
    EXPECT_EQ(plat::LastFileError(), 183u);  // it exists already
    const std::string file = folder + "\\fichier";
    ASSERT_TRUE(plat::WriteWholeFile(file.c_str(), "x"));
    EXPECT_FALSE(plat::CreateDirectory(file.c_str()));
    EXPECT_EQ(plat::LastFileError(), 183u);
}

}  // namespace
