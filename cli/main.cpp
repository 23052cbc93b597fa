#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/ExtractionState.h"
#include "cli/CliHost.h"
#include "cli/CliInput.h"
#include "cli/CliOptions.h"
#include "cli/DemoSite.h"
#include "engine/JobControl.h"
#include "platform/Charset.h"

using namespace harvina;

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitResultFile = 1;
constexpr const char* kVersion = "harvina-cli 1.2.1.0";
constexpr const char* kDefaultSuffixes = ".com|.cn|.net";
constexpr const char* kDefaultFolderName = "域名提取结果";
constexpr std::size_t kMaxInputBytes = std::size_t{256} << 20;

// The whole stream, or nothing when it is larger than the cap.
bool ReadCapped(std::istream& in, std::string& contents)
{
    contents.clear();
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (contents.size() + static_cast<std::size_t>(in.gcount()) > kMaxInputBytes)
            return false;
        contents.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return true;
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "harvina-cli: %s\nTry 'harvina-cli --help'.\n", message.c_str());
    return kExitUsage;
}

std::string DefaultSaveFolder()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return kDefaultFolderName;
    std::string folder(home);
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/" + kDefaultFolderName;
}

} // namespace

int main(int argc, char** argv)
{
    const CliParseResult parsed = ParseCliArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty())
        return UsageError(parsed.error);
    const CliOptions& options = parsed.options;
    if (options.help) {
        std::fputs(CliUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts(kVersion);
        return 0;
    }

    DemoSite demo;
    CliJobSettings settings;
    if (options.demo) {
        if (!demo.Start()) {
            std::fputs("harvina-cli: the demo site could not be started\n", stderr);
            return kExitResultFile;
        }
        settings.inputText = demo.InputText();
    } else if (options.inputFile) {
        std::ifstream in(*options.inputFile, std::ios::binary);
        std::string contents;
        if (!in)
            return UsageError("cannot read the input file " + *options.inputFile);
        if (!ReadCapped(in, contents))
            return UsageError("the input file is larger than 256 MB");
        settings.inputText = InputBoxText(contents);
    } else if (!options.inputs.empty()) {
        settings.inputText = InputBoxText(options.inputs);
    } else {
        if (!options.quiet && ::isatty(STDIN_FILENO))
            std::fputs("harvina-cli: reading addresses from standard input, one per line (end with Ctrl-D)\n", stderr);
        std::string contents;
        if (!ReadCapped(std::cin, contents))
            return UsageError("the standard input is larger than 256 MB");
        settings.inputText = InputBoxText(contents);
    }
    settings.saveFolder = LocalPath(options.saveDir.value_or(DefaultSaveFolder()));
    settings.suffixText = LocalText(options.suffixList.value_or(kDefaultSuffixes));
    settings.restrictSuffix = options.suffixList.has_value();
    settings.threadIndex = options.threads - 1;
    settings.extractText = options.extractText;
    settings.extractLinks = options.extractLinks;
    settings.imagesOnly = options.imagesOnly;
    settings.printDomains = options.printDomains;
    settings.quiet = options.quiet;
    settings.progress = !options.quiet && ::isatty(STDERR_FILENO);

    CliHost host(std::move(settings));
    CliHost::InstallInterruptHandler();
    GlobalExtractionState().useWinInet = options.altFetch;
    ToggleExtraction(host);
    return host.ResultFileFailed() ? kExitResultFile : 0;
}
