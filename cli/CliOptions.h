#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harvina {

// What the command line asks for. Texts are as typed (UTF-8).
struct CliOptions {
    std::vector<std::string> inputs; // one input-box line each
    std::optional<std::string> inputFile;
    int threads = 6;
    bool extractText = true;
    bool extractLinks = true;
    bool imagesOnly = false;
    std::optional<std::string> suffixList; // present: the restriction is on
    std::optional<std::string> saveDir;
    bool altFetch = false;
    bool printDomains = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool demo = false;
};

struct CliParseResult {
    CliOptions options;
    std::string error; // non-empty: a usage error
};

[[nodiscard]] CliParseResult ParseCliArguments(const std::vector<std::string>& arguments);

// The --help text (UTF-8).
[[nodiscard]] std::string CliUsage();

} // namespace harvina
