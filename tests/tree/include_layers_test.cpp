// The source folders form layers: a folder may include from the folders below it and from no
// other. The table here is the layering; this test reads every #include of the tree and fails
// on one that points up or across it, so that the layering holds on every run and not only on
// paper.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each folder with the folders it may include from, bottom up.
const std::map<std::string, std::set<std::string>>& layers() {
    static const std::map<std::string, std::set<std::string>> table = [] {
        std::map<std::string, std::set<std::string>> t;
        t["platform"] = {};
        t["platform/qt"] = {"platform"};
        // The error report sits at the bottom: every layer, the allocator included, may tell
        // of a problem.
        t["diagnostics"] = {};
        t["memory"] = {"diagnostics"};
        t["containers"] = {"memory"};
        t["model"] = {"memory", "containers"};
        const std::set<std::string> core = {"memory", "containers", "model", "diagnostics"};
        auto above = [&](std::set<std::string> more) {
            more.insert(core.begin(), core.end());
            return more;
        };
        t["labels"] = above({"platform"});
        t["netfile"] = above({"labels", "platform"});
        t["inheritance"] = above({"labels"});
        t["layout"] = above({"labels", "platform"});
        t["edit"] = above({"labels", "netfile", "inheritance", "layout"});
        t["view"] = above({"labels", "netfile", "inheritance", "layout", "edit", "platform"});
        t["cli"] = above({"labels", "netfile", "inheritance", "layout", "edit", "view", "platform",
                          "platform/qt"});
        t["dialogs"] = above({"labels", "netfile", "inheritance", "layout", "edit", "view",
                              "platform", "platform/qt"});
        t["shell"] = above({"labels", "netfile", "inheritance", "layout", "edit", "view", "dialogs",
                            "platform", "platform/qt"});
        return t;
    }();
    return table;
}

// Includes that still run against the layers, each to go as the code moves to its layer. A
// listed include that is gone fails too, so that the list only shrinks.
const std::set<std::pair<std::string, std::string>>& knownExceptions() {
    static const std::set<std::pair<std::string, std::string>> list = {};
    return list;
}

struct Include {
    std::string file; // relative to the source tree
    std::string header;
};

std::vector<Include> includesOf(const fs::path& tree) {
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            const auto start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line.compare(start, 8, "#include") != 0)
                continue;
            const auto open = line.find('"', start);
            const auto close = open == std::string::npos ? open : line.find('"', open + 1);
            if (close == std::string::npos)
                continue; // <system> headers
            found.push_back({fs::relative(entry.path(), tree).generic_string(),
                             line.substr(open + 1, close - open - 1)});
        }
    }
    std::sort(found.begin(), found.end(), [](const Include& a, const Include& b) {
        return std::pair(a.file, a.header) < std::pair(b.file, b.header);
    });
    return found;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// What is wrong with one include, or nothing.
std::string check(const Include& include) {
    const std::string from = folderOf(include.file);
    const std::string to = folderOf(include.header);
    // Headers without a folder are made by the build (the dialog forms).
    if (to.empty() || to == from)
        return {};
    const auto layer = layers().find(from);
    if (layer == layers().end())
        return "the folder " + from + " is in no layer";
    if (!layers().contains(to))
        return "the folder " + to + " is in no layer";
    if (!layer->second.contains(to))
        return from + " may not include from " + to;
    return {};
}

TEST(IncludeLayers, EveryIncludePointsDownTheLayers) {
    const std::vector<Include> includes = includesOf(TARVO_SOURCE_TREE);
    ASSERT_GT(includes.size(), 500u) << "the source tree was not found at " << TARVO_SOURCE_TREE;
    std::set<std::pair<std::string, std::string>> seen;
    for (const Include& include : includes) {
        const std::string fault = check(include);
        if (fault.empty())
            continue;
        const std::pair key(include.file, include.header);
        seen.insert(key);
        if (!knownExceptions().contains(key))
            ADD_FAILURE() << include.file << " includes \"" << include.header << "\": " << fault;
    }
    for (const auto& [file, header] : knownExceptions()) {
        EXPECT_TRUE(seen.contains({file, header})) << file << " no longer includes \"" << header
                                                   << "\" against the layers: take it off the list";
    }
}

TEST(IncludeLayers, TheCheckCatchesUpwardAndUnknownIncludes) {
    EXPECT_EQ(check({"model/node.cpp", "memory/heap_object.h"}), "");
    EXPECT_EQ(check({"model/node.cpp", "model/links.h"}), "");
    EXPECT_EQ(check({"dialogs/error_box.cpp", "ui_ERROR.h"}), "");
    EXPECT_EQ(check({"model/node.cpp", "view/net_view.h"}), "model may not include from view");
    EXPECT_EQ(check({"cli/main.cpp", "shell/main_frame.h"}), "cli may not include from shell");
    EXPECT_EQ(check({"platform/qt/qt_ui.cpp", "dialogs/error_box.h"}),
              "platform/qt may not include from dialogs");
    EXPECT_EQ(check({"labels/x.cpp", "labels/sub/y.h"}), "the folder labels/sub is in no layer");
}

} // namespace
