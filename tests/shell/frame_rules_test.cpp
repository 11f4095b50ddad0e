// The frame's path rule for a chosen network file and the texts of its caption and messages.
#include "shell/frame_rules.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tarvo {
namespace {

TEST(FrameRules, AChosenFileLoadsFromItsDatabasesOrNet1FolderWithItsCaseKept) {
    EXPECT_EQ(NetworkPathOf("/home/ana/Tarvo/Databases/Sample.DAT"), "Databases/Sample.DAT");
    // "Databases" is looked for before "Net1", wherever each stands.
    EXPECT_EQ(NetworkPathOf("/Net1/Databases/a.dat"), "Databases/a.dat");
    EXPECT_EQ(NetworkPathOf("/work/Net1/Old/b.dat"), "Net1/Old/b.dat");
    // Separators are never doubled, and doubled ones become single.
    EXPECT_EQ(NetworkPathOf("/x/Databases//deep///c.dat"), "Databases/deep/c.dat");
    // The folder's name is matched whole and with its case.
    EXPECT_EQ(NetworkPathOf("/x/databases/c.dat"), std::nullopt);
    EXPECT_EQ(NetworkPathOf("/x/DatabasesOld/c.dat"), std::nullopt);
    EXPECT_EQ(NetworkPathOf("/tmp/c.dat"), std::nullopt);
}

TEST(FrameRules, AChosenFileIsReadFromItsWorkingFolderNameOnlyWhenThatIsTheSameFile) {
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    const fs::path root = fs::temp_directory_path() / ("tarvo-rules-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* folder : {"work/Databases", "other/Databases"})
        fs::create_directories(root / folder);
    for (const char* file :
         {"work/Databases/a.dat", "other/Databases/a.dat", "other/Databases/b.dat"})
        std::ofstream(root / file) << "#ENTITIES\n";
    fs::current_path(root / "work");
    EXPECT_EQ(NetworkFileToRead((root / "work/Databases/a.dat").string()), "Databases/a.dat");
    // The same name in another folder, and a name the working folder lacks: the chosen file.
    EXPECT_EQ(NetworkFileToRead((root / "other/Databases/a.dat").string()),
              (root / "other/Databases/a.dat").string());
    EXPECT_EQ(NetworkFileToRead((root / "other/Databases/b.dat").string()),
              (root / "other/Databases/b.dat").string());
    EXPECT_EQ(NetworkFileToRead((root / "other/x.dat").string()), std::nullopt);
    fs::current_path(home);
    fs::remove_all(root);
}

TEST(FrameRules, CaptionsAndMessagesNameTheFileOrSayUntitled) {
    EXPECT_EQ(FrameTitle("script.dat"), "Tarvo++ - script.dat");
    EXPECT_EQ(FrameTitle(""), "Tarvo++ - (untitled)");
    EXPECT_EQ(FileMessageText("Could not read file %s!", "x.dat"), "Could not read file x.dat!");
    EXPECT_EQ(FileMessageText("Could not write file %s", ""), "Could not write file (untitled)");
    EXPECT_EQ(SaveQuestionText("Databases/script.dat"),
              "Save current changes in Databases/script.dat?");
}

} // namespace
} // namespace tarvo
