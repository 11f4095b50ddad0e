// tarvo-gen: writes a generated network file to standard output.
#include "tools/network_generator.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: tarvo-gen [--seed N] [--entities N] [--relations N] [--properties N]\n"
    "                 [--max-parents N] [--lattice DEPTH | --wordnet] [--plain] > file\n"
    "  --lattice DEPTH  entities in DEPTH + 1 layers, each node with 2 parents in the one above\n"
    "  --wordnet        a WordNet-like network: one root over a deep tree with skewed branching\n"
    "                   and a few second parents; 118000 entities, 8 relations and 100000\n"
    "                   properties unless given\n";

// Far above any network the program is meant for, low enough that memory is the only limit.
constexpr long long kMaxCount = 100'000'000;
constexpr long long kMaxParents = 1000;
constexpr long long kMaxLatticeDepth = 100000;

int usageError(const std::string& message) {
    std::fprintf(stderr, "error: %s\n%s", message.c_str(), kUsage);
    return 2;
}

// A whole decimal number within [low, high], or nothing.
std::optional<long long> parsedNumber(std::string_view text, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

struct NumberOption {
    std::string_view name;
    long long low;
    long long high;
};

constexpr NumberOption kNumberOptions[] = {
    {"--seed", 0, 0xffffffffLL},       {"--entities", 0, kMaxCount},
    {"--relations", 0, kMaxCount},     {"--properties", 0, kMaxCount},
    {"--max-parents", 1, kMaxParents}, {"--lattice", 0, kMaxLatticeDepth},
};

void setOption(tarvo::tools::GeneratorOptions& options, std::string_view name, long long value) {
    if (name == "--seed")
        options.seed = static_cast<std::uint32_t>(value);
    else if (name == "--entities")
        options.entities = static_cast<int>(value);
    else if (name == "--relations")
        options.relations = static_cast<int>(value);
    else if (name == "--properties")
        options.properties = static_cast<int>(value);
    else if (name == "--lattice") {
        options.shape = tarvo::tools::GeneratorOptions::Shape::Lattice;
        options.latticeDepth = static_cast<int>(value);
    } else
        options.maxParents = static_cast<int>(value);
}

const NumberOption* numberOption(std::string_view name) {
    for (const NumberOption& option : kNumberOptions)
        if (option.name == name)
            return &option;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    // The WordNet-like defaults come first, whatever the place of --wordnet, so that the
    // numbers given override them.
    tarvo::tools::GeneratorOptions options;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--wordnet")
            options = tarvo::tools::WordNetOptions(options.seed);
    const bool wordnet = options.shape == tarvo::tools::GeneratorOptions::Shape::WordNet;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--plain") {
            options.formatted = false;
            continue;
        }
        if (argument == "--wordnet")
            continue;
        if (argument == "--lattice" && wordnet)
            return usageError("--lattice and --wordnet are different shapes; give one");
        const NumberOption* option = numberOption(argument);
        if (!option)
            return usageError("unknown argument \"" + std::string(argument) + "\"");
        if (i + 1 == argc)
            return usageError(std::string(argument) + " needs a number");
        const std::string_view text = argv[++i];
        const std::optional<long long> value = parsedNumber(text, option->low, option->high);
        if (!value)
            return usageError(std::string(argument) + " takes a whole number from " +
                              std::to_string(option->low) + " to " + std::to_string(option->high) +
                              ", not \"" + std::string(text) + "\"");
        setOption(options, argument, *value);
    }
    if (options.properties > 0 && (options.entities == 0 || options.relations == 0))
        return usageError("properties need at least one entity and one relation");

    const std::string network = tarvo::tools::GenerateNetwork(options);
    if (std::fwrite(network.data(), 1, network.size(), stdout) != network.size() ||
        std::fflush(stdout) != 0) {
        std::fputs("error: could not write the network to standard output\n", stderr);
        return 1;
    }
    return 0;
}
