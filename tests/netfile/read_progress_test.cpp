// The progress of reading a network file: told as the read goes, never going back, reaching the
// file's end; a read stopped by its progress leaves the fonts alone.
#include "netfile/network_file.h"

#include "labels/font_table.h"
#include "model/network.h"
#include "platform/font_catalog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

class ReadProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-progress-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        platform::ListedFontCatalog catalog("Times New Roman;Arial");
        BuildFontTable(catalog);
        ChoosePreferredFonts();
    }
    void TearDown() override {
        ReleaseFontTable();
        std::remove(path().c_str());
        ::rmdir(folder.c_str());
    }
    std::string path() const { return folder + "/in.dat"; }
    // A file of `entities` lines below one root, and a font the system lacks.
    void write(int entities) {
        std::ofstream out(path(), std::ios::binary);
        out << "#ENTITIES\n";
        for (int k = 0; k < entities; ++k)
            out << "e" << k << " isa root\n";
        out << "#FONTS\n0 isa \"Gentium\"\n";
    }
    long long size() const {
        struct stat status {};
        EXPECT_EQ(::stat(path().c_str(), &status), 0);
        return static_cast<long long>(status.st_size);
    }
    static int entities(const Network& net) {
        int count = 0;
        for (int k = 0; k < 30000; ++k)
            count += net.find(("e" + std::to_string(k)).c_str(), 0) != nullptr;
        return count;
    }

    std::string folder;
};

TEST_F(ReadProgressTest, ProgressRisesToTheFilesSizeEveryFewThousandLines) {
    write(20000);
    std::vector<std::pair<long long, long long>> told;
    int defaultFont = -2;
    const int programDefault = fonts().DefaultFont;
    Network net;
    ASSERT_TRUE(ReadNetworkFile(net, path().c_str(), nullptr, [&](long long done, long long total) {
        told.emplace_back(done, total);
        defaultFont = fonts().DefaultFont;
        return true;
    }));
    // 20,002 lines: four times on the way, once at the end.
    ASSERT_GE(told.size(), 4u);
    EXPECT_LE(told.size(), 8u);
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].second, size());
        EXPECT_GT(told[i].first, 0);
        if (i > 0) {
            EXPECT_GE(told[i].first, told[i - 1].first) << i;
        }
    }
    EXPECT_LT(told.front().first, size()) << "told before the end";
    EXPECT_EQ(told.back().first, size());
    // Whoever is told may paint: the program's default font is in force then.
    EXPECT_EQ(defaultFont, programDefault);
    EXPECT_EQ(entities(net), 20000);
}

TEST_F(ReadProgressTest, AReadWithoutProgressIsTheSame) {
    write(5000);
    Network told;
    Network untold;
    ReadNetworkFile(told, path().c_str(), nullptr, [](long long, long long) { return true; });
    ReadNetworkFile(untold, path().c_str());
    EXPECT_EQ(entities(told), 5000);
    EXPECT_EQ(entities(untold), 5000);
}

TEST_F(ReadProgressTest, AStoppedReadEndsThereAndLeavesTheFontTableAlone) {
    write(20000);
    const int fontsBefore = FontCount();
    const int defaultBefore = fonts().DefaultFont;
    Network net;
    int calls = 0;
    LoadNetworkFile(net, path().c_str(), nullptr, nullptr, [&](long long, long long) {
        ++calls;
        return false;
    });
    EXPECT_EQ(calls, 1) << "the first answer stops the read";
    const int read = entities(net);
    EXPECT_GT(read, 0);
    EXPECT_LT(read, 20000);
    EXPECT_EQ(FontCount(), fontsBefore) << "the file's font is not added";
    EXPECT_EQ(fonts().DefaultFont, defaultBefore);

    // Stopped only at its end, the read is still thrown away: the fonts stay as they were.
    write(10);
    Network small;
    LoadNetworkFile(small, path().c_str(), nullptr, nullptr,
                    [](long long done, long long total) { return done < total; });
    EXPECT_EQ(FontCount(), fontsBefore);
    // Read through, the same file adds its font.
    Network whole;
    LoadNetworkFile(whole, path().c_str(), nullptr, nullptr,
                    [](long long, long long) { return true; });
    EXPECT_EQ(FontCount(), fontsBefore + 1);
}

TEST_F(ReadProgressTest, APipeHasNoSizeAndIsStillToldOfAndReadWhole) {
    write(9000);
    std::FILE* pipe = ::popen(("cat " + path()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<long long> done;
    Network net;
    ReadNetworkStream(net, pipe, nullptr, [&](long long at, long long total) {
        EXPECT_EQ(total, 0);
        done.push_back(at);
        return true;
    });
    ::pclose(pipe);
    ASSERT_GE(done.size(), 2u);
    for (std::size_t i = 1; i < done.size(); ++i)
        EXPECT_GE(done[i], done[i - 1]);
    EXPECT_EQ(entities(net), 9000);
}

} // namespace
} // namespace tarvo
