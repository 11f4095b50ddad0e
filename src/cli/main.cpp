// tarvo-cli: the program's core for batch use and for tests.
//
//   tarvo-cli [--fonts "Face A;Face B;..."] COMMAND ARGUMENTS
//
// Before a command runs, the font table is built and the preferred fonts are chosen as at the
// program's start-up: from the faces given with --fonts, in that order, or from the machine's.
#include "cli/byte_escapes.h"
#include "cli/layout_json.h"
#include "cli/network_dump.h"
#include "edit/changes.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "labels/label_markup.h"
#include "labels/label_text.h"
#include "layout/layout_improvement.h"
#include "layout/view_node.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "netfile/shape_file.h"
#include "platform/cp1252.h"
#include "platform/font_catalog.h"
#include "platform/keys.h"
#include "platform/off_window_host.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_font_catalog.h"
#include "platform/qt/qt_region.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/spotlight.h"
#include "view/view_commands.h"
#include "view/view_options.h"
#include "view/view_paint.h"
#include "view/view_window.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "usage: tarvo-cli [--fonts \"Face A;Face B;...\"] COMMAND ARGUMENTS\n"
    "commands:\n"
    "  markup-to-label TEXT   the internal form of the markup TEXT, bytes escaped as \\xNN\n"
    "  label-to-markup TEXT   the markup of the internal label TEXT (\\xNN escapes, \\\\)\n"
    "  markup-plain TEXT      the plain Unicode text of the markup TEXT, phonetic runs as IPA:\n"
    "                         what copying the label puts on the clipboard as plain text\n"
    "  roundtrip IN OUT       load the network IN and save it as OUT\n"
    "  dump IN                load the network IN and print its nodes, one JSON object a line\n"
    "  report IN NAME [--relation]\n"
    "                         the inheritance report of the entity (or relation) NAME, as JSON\n"
    "  layout IN NAME [--relation] [--reveal N] [--justification 0|1|2] [--depth 0|1]\n"
    "         [--improve] [--untangle] [--steps K]\n"
    "                         the layout of a view opened on NAME, as JSON\n"
    "  render IN NAME OUT.png [--width W] [--height H] [the layout options]\n"
    "         [--orientation 0..3] [--line-style 0|1] [--distance-mode 0..5] [--highlight 0|1]\n"
    "         [--keys K1,K2,...] [--open-at 0|1] [--readable-points 8..36] [--fit-report]\n"
    "                         a PNG of what a window of W x H (1024 x 768) opened on NAME shows,\n"
    "                         after the keys (Left, Right, Up, Down, Home, End, PageUp, PageDown,\n"
    "                         Space, Enter, Insert, Delete, Escape, Tab, a letter or digit; C- "
    "for\n"
    "                         Ctrl, S- for Shift: C-S-Right) were pressed in it, opened at\n"
    "                         readable size (0, labels of at least --readable-points, 10\n"
    "                         unless given) or fitted to the window (1); with\n"
    "                         --fit-report also each drawn node's label size, lines and\n"
    "                         whether it was cut, one JSON object a line\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "error: %s\n%s", message.c_str(), kUsage);
    return kUsageError;
}

// The program-wide objects a command needs, made as the program makes them and released in
// the reverse order.
class Session {
public:
    Session() {
        tarvo::AllocateWordBuffer();
        tarvo::CreateHeap();
        tarvo::AllocateScratchText();
        m_network = std::make_unique<tarvo::Network>();
    }
    ~Session() {
        // The network lives in the heap: it goes first.
        m_network.reset();
        tarvo::ReleaseFontTable();
        tarvo::ReleaseScratchText();
        tarvo::DestroyHeap();
        tarvo::ReleaseWordBuffer();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The network the command reads and works on.
    tarvo::Network& network() { return *m_network; }

private:
    std::unique_ptr<tarvo::Network> m_network;
};

// Qt's own notes (such as a missing runtime folder) are not the tool's output; only its real
// failures reach standard error, in the tool's own form.
void reportQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "error: %s\n", message.toLocal8Bit().constData());
}

// The machine's fonts and the drawing of images come from the window system; no window is
// ever shown.
std::unique_ptr<QGuiApplication> startGui(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(reportQtFailures);
    return std::make_unique<QGuiApplication>(argc, argv);
}

void buildFonts(const std::optional<std::string>& listed) {
    if (listed) {
        platform::ListedFontCatalog catalog(*listed);
        tarvo::BuildFontTable(catalog);
    } else {
        platform::qt::QtFontCatalog catalog;
        tarvo::BuildFontTable(catalog);
    }
    tarvo::ChoosePreferredFonts();
}

using Arguments = std::vector<std::string>;

int markupToLabel(tarvo::Network& net, const Arguments& arguments) {
    const std::string& text = arguments[0];
    const std::string markup = platform::Utf8ToCp1252(text);
    char* label = tarvo::MarkupToLabel(markup.c_str(), net.labelIds());
    if (!label)
        return 1;
    std::printf("%s\n", tarvo::cli::EscapeBytes(label).c_str());
    tarvo::Release(label);
    return 0;
}

int labelToMarkup(tarvo::Network&, const Arguments& arguments) {
    const std::string& text = arguments[0];
    std::string error;
    const std::optional<std::string> label =
        tarvo::cli::UnescapeBytes(platform::Utf8ToCp1252(text), error);
    if (!label)
        return usageError(error);
    std::string markup;
    tarvo::LabelToMarkup(label->c_str(), markup);
    std::printf("%s\n", platform::Cp1252ToUtf8(markup).c_str());
    return 0;
}

int markupPlain(tarvo::Network& net, const Arguments& arguments) {
    char* label =
        tarvo::MarkupToLabel(platform::Utf8ToCp1252(arguments[0]).c_str(), net.labelIds());
    if (!label)
        return 1;
    std::string plain;
    tarvo::PlainUnicodeText(label, plain);
    std::printf("%s\n", plain.c_str());
    tarvo::Release(label);
    return 0;
}

// Prints what a reader met, one problem a line, as the program's error box would show it.
void printProblems(const tarvo::Diagnostics& problems) {
    for (const tarvo::Diagnostic& problem : problems)
        std::fprintf(stderr, "error: %s\n", platform::Cp1252ToUtf8(problem.message).c_str());
}

// The reading's progress on the terminal, once a read has taken half a second: a line that
// counts up in place, ended when the read is. Nothing when stderr is not a terminal, so that
// the outputs kept and compared stay the same.
class TerminalProgress {
public:
    explicit TerminalProgress(const std::string& path)
        : m_path(path), m_start(std::chrono::steady_clock::now()) {}
    ~TerminalProgress() {
        if (m_shown)
            std::fputc('\n', stderr);
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool operator()(long long done, long long total) {
        if (!m_shown && std::chrono::steady_clock::now() - m_start < std::chrono::milliseconds(500))
            return true;
        m_shown = true;
        if (total > 0)
            std::fprintf(stderr, "\rReading %s: %3lld%%", m_path.c_str(), done * 100 / total);
        else
            std::fprintf(stderr, "\rReading %s: %lld bytes", m_path.c_str(), done);
        std::fflush(stderr);
        return true;
    }

private:
    std::string m_path;
    std::chrono::steady_clock::time_point m_start;
    bool m_shown = false;
};

// Loads the network IN with the program's load steps; false when it could not be opened.
bool loadNetwork(tarvo::Network& net, const std::string& path) {
    tarvo::Diagnostics problems;
    bool opened = false;
    if (isatty(fileno(stderr))) {
        TerminalProgress progress(path);
        opened = tarvo::LoadNetworkFile(
            net, path.c_str(), nullptr, &problems,
            [&](long long done, long long total) { return progress(done, total); });
    } else {
        opened = tarvo::LoadNetworkFile(net, path.c_str(), nullptr, &problems);
    }
    printProblems(problems);
    return opened;
}

int roundtrip(tarvo::Network& net, const Arguments& arguments) {
    // A network that could not be read is not written: OUT keeps what it held.
    if (!loadNetwork(net, arguments[0]))
        return 1;
    if (tarvo::WriteNetworkFile(net, arguments[1].c_str()))
        return 0;
    std::fprintf(stderr, "error: Could not write file %s\n", arguments[1].c_str());
    return 1;
}

int dump(tarvo::Network& net, const Arguments& arguments) {
    if (!loadNetwork(net, arguments[0]))
        return 1;
    tarvo::cli::DumpNetwork(net, stdout);
    return 0;
}

// The node a command names, in the network loaded from IN; an error message when absent.
tarvo::Node* namedNode(tarvo::Network& net, const Arguments& arguments, int relationKind) {
    loadNetwork(net, arguments[0]);
    char* label =
        tarvo::MarkupToLabel(platform::Utf8ToCp1252(arguments[1]).c_str(), net.labelIds());
    tarvo::Node* node = label ? net.find(label, relationKind) : nullptr;
    tarvo::Release(label);
    if (!node)
        std::fprintf(stderr, "error: no node %s\n", arguments[1].c_str());
    return node;
}

int report(tarvo::Network& net, const Arguments& arguments) {
    if (arguments.size() == 3 && arguments[2] != "--relation")
        return usageError("report takes IN NAME [--relation]");
    tarvo::StartDebugLog();
    tarvo::Node* node = namedNode(net, arguments, arguments.size() == 3 ? 1 : 0);
    if (!node)
        return kUsageError;
    std::printf("%s\n", tarvo::cli::ReportJson(node).c_str());
    return 0;
}

// A whole number option value within [low, high].
std::optional<int> numberIn(const std::string& text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}

// The mode an option's number chooses; readViewOptions keeps each number within its mode's
// range.
template <typename Mode> Mode modeOf(int number) {
    return tarvo::FromInt<Mode>(number).value_or(Mode{});
}

// The options of the commands that open a view, the modes as the numbers typed.
struct ViewOptions {
    int relationKind = 0;
    int reveal = 0;
    int justification = tarvo::ToInt(tarvo::Justification::Centred);
    int depth = tarvo::ToInt(tarvo::DepthJustify::RaiseChildren);
    bool improve = false;
    bool untangle = false;
    int steps = 0;
    // Only for render.
    int width = 1024;
    int height = 768;
    int orientation = tarvo::ToInt(tarvo::Orientation::TopDown);
    int lineStyle = tarvo::ToInt(tarvo::LineStyle::Curved);
    int distanceMode = tarvo::ToInt(tarvo::DistanceMode{tarvo::DistanceShade::None, true});
    int highlight = 1;
    // Where the view opens: 0 at readable size, 1 fitted to the window.
    int openAt = tarvo::ToInt(tarvo::OpenAt::Readable);
    // The label size that counts as readable there.
    int readablePoints = tarvo::kReadablePoints;
    // Keys pressed in the window before it is drawn, as "C-S-Down,Right,Insert".
    std::string keys;
    // Print how each drawn label fitted its box.
    bool fitReport = false;
};

// A key as the view window gets it, from a name with "C-" (Ctrl) and "S-" (Shift) before it.
struct NamedKey {
    int key = 0;
    bool shift = false;
    bool ctrl = false;
};

std::optional<NamedKey> keyNamed(std::string name) {
    NamedKey result;
    for (;;) {
        if (name.rfind("C-", 0) == 0)
            result.ctrl = true;
        else if (name.rfind("S-", 0) == 0)
            result.shift = true;
        else
            break;
        name.erase(0, 2);
    }
    using namespace platform::keys;
    static const std::pair<const char*, int> names[] = {
        {"Left", kLeft},     {"Right", kRight}, {"Up", kUp},         {"Down", kDown},
        {"Home", kHome},     {"End", kEnd},     {"PageUp", kPageUp}, {"PageDown", kPageDown},
        {"Space", kSpace},   {"Enter", kEnter}, {"Insert", kInsert}, {"Delete", kDelete},
        {"Escape", kEscape}, {"Tab", kTab}};
    for (const auto& [text, key] : names)
        if (name == text)
            result.key = key;
    if (!result.key && name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        result.key = std::toupper(static_cast<unsigned char>(name[0]));
    if (!result.key)
        return std::nullopt;
    return result;
}

// The keys of a comma-separated list; an error message for the first one not known.
std::optional<std::string> readKeys(const std::string& list, std::vector<NamedKey>* keys) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, end - start);
        const auto key = keyNamed(name);
        if (!key)
            return "unknown key " + name + " in --keys";
        if (keys)
            keys->push_back(*key);
        start = end + 1;
    }
    return std::nullopt;
}

// Reads the options from `first` on; an error message when one is unknown or out of range.
std::optional<std::string> readViewOptions(const Arguments& arguments, std::size_t first,
                                           bool rendering, ViewOptions& options) {
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--relation") {
            options.relationKind = 1;
            continue;
        }
        if (option == "--improve") {
            options.improve = true;
            continue;
        }
        if (option == "--untangle") {
            options.untangle = true;
            continue;
        }
        if (option == "--fit-report" && rendering) {
            options.fitReport = true;
            continue;
        }
        if (option == "--keys" && rendering) {
            if (i + 1 >= arguments.size())
                return std::string("--keys needs a list of keys");
            options.keys = arguments[++i];
            if (auto error = readKeys(options.keys, nullptr))
                return error;
            continue;
        }
        struct Numeric {
            const char* name;
            int* value;
            int low, high;
            bool renderOnly;
        };
        using tarvo::kModeCount;
        const Numeric numeric[] = {
            {"--reveal", &options.reveal, 0, 127, false},
            {"--justification", &options.justification, 0, kModeCount<tarvo::Justification> - 1,
             false},
            {"--depth", &options.depth, 0, kModeCount<tarvo::DepthJustify> - 1, false},
            {"--steps", &options.steps, 0, 100000, false},
            {"--width", &options.width, 16, 8192, true},
            {"--height", &options.height, 16, 8192, true},
            {"--orientation", &options.orientation, 0, kModeCount<tarvo::Orientation> - 1, true},
            {"--line-style", &options.lineStyle, 0, kModeCount<tarvo::LineStyle> - 1, true},
            {"--distance-mode", &options.distanceMode, 0, tarvo::kDistanceModeCount - 1, true},
            {"--highlight", &options.highlight, 0, 1, true},
            {"--open-at", &options.openAt, 0, kModeCount<tarvo::OpenAt> - 1, true},
            {"--readable-points", &options.readablePoints, tarvo::kFewestReadablePoints,
             tarvo::kMostReadablePoints, true}};
        const Numeric* chosen = nullptr;
        for (const Numeric& n : numeric)
            if (option == n.name && (rendering || !n.renderOnly))
                chosen = &n;
        if (!chosen)
            return "unknown option " + option;
        const auto value = i + 1 < arguments.size()
                               ? numberIn(arguments[i + 1], chosen->low, chosen->high)
                               : std::nullopt;
        if (!value)
            return option + " needs a number from " + std::to_string(chosen->low) + " to " +
                   std::to_string(chosen->high);
        *chosen->value = *value;
        ++i;
    }
    return std::nullopt;
}

int layout(tarvo::Network& net, const Arguments& arguments) {
    ViewOptions options;
    if (const auto error = readViewOptions(arguments, 2, false, options))
        return usageError(*error);
    tarvo::Node* node = namedNode(net, arguments, options.relationKind);
    if (!node)
        return kUsageError;
    tarvo::NetView view;
    view.options.justification = modeOf<tarvo::Justification>(options.justification);
    view.options.depthJustify = modeOf<tarvo::DepthJustify>(options.depth);
    view.options.untangle = options.untangle;
    // The partition dialog's reveal box adds one to the distance typed.
    if (!tarvo::BuildViewNodes(view, net, node, tarvo::ReachForSpotlight(1 + options.reveal)))
        return 1;
    tarvo::StartViewLayout(view, 1 + options.reveal);
    if (options.improve)
        tarvo::ImproveLayout(view);
    for (int i = 0; i < options.steps; ++i)
        tarvo::StepLayout(view);
    tarvo::LayoutEnergy(view.layout);
    tarvo::MeasureDistances(view);
    std::printf("%s\n", tarvo::cli::LayoutJson(view).c_str());
    return 0;
}

// {"name":N,"points":P,"lines":K,"cut":true|false} for a label the picture drew.
std::string fitJson(const tarvo::DrawnLabel& label) {
    std::string name;
    tarvo::PlainText(label.node->name ? label.node->name : "", name);
    return "{\"name\":" + tarvo::cli::JsonString(platform::Cp1252ToUtf8(name)) +
           ",\"points\":" + std::to_string(label.points) +
           ",\"lines\":" + std::to_string(label.lines) +
           ",\"cut\":" + (label.cut ? "true" : "false") + "}";
}

int render(tarvo::Network& net, const Arguments& arguments) {
    ViewOptions options;
    if (const auto error = readViewOptions(arguments, 3, true, options))
        return usageError(*error);
    // Shapes are read before the network, as at every load.
    tarvo::Diagnostics shapeProblems;
    tarvo::ReadShapeFile(tarvo::shapesOf(net), "poly.dat", &shapeProblems);
    printProblems(shapeProblems);
    tarvo::Node* node = namedNode(net, arguments, options.relationKind);
    if (!node)
        return kUsageError;
    platform::qt::QtRegionMaker regions;
    platform::OffWindowHost host(
        {options.width, options.height},
        [] { return std::make_unique<platform::qt::ImageDisplay>(1, 1); }, regions);
    // The highlight tint comes from the system's selection colour, as in the program.
    const QColor selection = QGuiApplication::palette().highlight().color();
    tarvo::ColourState colours;
    tarvo::InitColourTable(colours, {static_cast<std::uint8_t>(selection.red()),
                                     static_cast<std::uint8_t>(selection.green()),
                                     static_cast<std::uint8_t>(selection.blue())});
    tarvo::NetView view;
    view.colours = &colours;
    tarvo::ViewStartup startup;
    startup.title = arguments[1].c_str();
    startup.spotlightDepth = 1 + options.reveal;
    startup.openAt = modeOf<tarvo::OpenAt>(options.openAt);
    startup.readablePoints = options.readablePoints;
    if (!tarvo::CreateView(view, net, node, &host, nullptr, startup))
        return 1;
    tarvo::SetJustification(view, modeOf<tarvo::Justification>(options.justification));
    tarvo::SetDepthJustify(view, modeOf<tarvo::DepthJustify>(options.depth));
    tarvo::SetOrientation(view, modeOf<tarvo::Orientation>(options.orientation));
    tarvo::SetLineStyle(view, modeOf<tarvo::LineStyle>(options.lineStyle));
    tarvo::SetDistanceMode(
        view, tarvo::DistanceModeFromInt(options.distanceMode).value_or(tarvo::DistanceMode{}));
    if ((options.highlight != 0) != view.options.highlightLinks)
        tarvo::ToggleHighlightLinks(view);
    view.options.untangle = options.untangle;
    if (options.improve)
        tarvo::ImproveLayout(view);
    for (int i = 0; i < options.steps; ++i)
        tarvo::StepLayout(view);
    tarvo::MeasureDistances(view);
    // What the window does first once it shows: the posted scale to the window.
    host.runPosted();
    std::vector<NamedKey> keys;
    if (!options.keys.empty())
        readKeys(options.keys, &keys);
    for (const NamedKey& key : keys) {
        tarvo::ViewKey(view, key.key, key.shift, key.ctrl);
        host.runPosted();
    }
    platform::qt::ImageDisplay image(options.width, options.height);
    std::vector<tarvo::DrawnLabel> drawn;
    tarvo::Paint(view, image, options.fitReport ? &drawn : nullptr);
    for (const tarvo::DrawnLabel& label : drawn)
        std::printf("%s\n", fitJson(label).c_str());
    const QImage& picture = image.finish();
    if (!picture.save(QString::fromLocal8Bit(arguments[2].c_str()), "PNG")) {
        std::fprintf(stderr, "error: Could not write file %s\n", arguments[2].c_str());
        return 1;
    }
    tarvo::DestroyView(view);
    return 0;
}

struct Command {
    const char* name;
    std::size_t arguments;
    std::size_t optional; // arguments that may follow the required ones
    int (*run)(tarvo::Network& net, const Arguments&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"markup-to-label", 1, 0, markupToLabel, "TEXT"},
    {"label-to-markup", 1, 0, labelToMarkup, "TEXT"},
    {"markup-plain", 1, 0, markupPlain, "TEXT"},
    {"roundtrip", 2, 0, roundtrip, "IN OUT"},
    {"dump", 1, 0, dump, "IN"},
    {"report", 2, 1, report, "IN NAME [--relation]"},
    {"layout", 2, 11, layout,
     "IN NAME [--relation] [--reveal N] [--justification 0|1|2] [--depth 0|1] [--improve] "
     "[--untangle] [--steps K]"},
    {"render", 3, 28, render,
     "IN NAME OUT.png [--width W] [--height H] [the layout options] [--orientation 0..3] "
     "[--line-style 0|1] [--distance-mode 0..5] [--highlight 0|1] [--keys K1,K2,...] "
     "[--open-at 0|1] [--fit-report]"},
};

} // namespace

int main(int argc, char** argv) {
    std::optional<std::string> listedFonts;
    int next = 1;
    while (next < argc && std::strncmp(argv[next], "--", 2) == 0) {
        const std::string option = argv[next];
        if (option == "--fonts" && next + 1 < argc) {
            listedFonts = argv[next + 1];
            next += 2;
        } else if (option == "--fonts") {
            return usageError("--fonts needs a list of faces");
        } else {
            return usageError("unknown option " + option);
        }
    }
    if (next >= argc)
        return usageError("no command given");
    const std::string command = argv[next];
    const std::vector<std::string> arguments(argv + next + 1, argv + argc);

    const Command* chosen = nullptr;
    for (const Command& c : kCommands)
        if (command == c.name)
            chosen = &c;
    if (!chosen)
        return usageError("unknown command " + command);
    if (arguments.size() < chosen->arguments ||
        arguments.size() > chosen->arguments + chosen->optional)
        return usageError(command + " takes " + chosen->usage);

    std::unique_ptr<QGuiApplication> gui;
    if (!listedFonts || command == "render")
        gui = startGui(argc, argv);
    Session session;
    buildFonts(listedFonts);
    return chosen->run(session.network(), arguments);
}
