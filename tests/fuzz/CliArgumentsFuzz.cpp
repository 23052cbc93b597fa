// harvina-cli's argument parsing and input-box building on random argument lists:
// the input is split at NUL bytes into arguments, and bytes 0x01-0x11 at the start of
// an argument stand for the known options, so short inputs reach every branch.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliInput.h"
#include "cli/CliOptions.h"
#include "tests/fuzz/FuzzHost.h"

using namespace harvina;

namespace {

constexpr size_t kMaxArguments = 64;

std::string Expand(const std::string& argument)
{
    static const char* const kOptions[] = {
        "-i", "--input", "-t", "--threads", "--suffix", "-o", "--save-dir", "--no-text", "--no-links",
        "--images-only", "--alt-fetch", "--stdout", "-q", "--demo", "--help", "--version", "--",
    };
    if (argument.empty())
        return argument;
    const auto id = static_cast<unsigned char>(argument[0]);
    if (id >= 1 && id <= std::size(kOptions))
        return kOptions[id - 1] + argument.substr(1);
    return argument;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= bytes.size() && arguments.size() < kMaxArguments;) {
        const size_t end = std::min(bytes.find('\0', start), bytes.size());
        arguments.push_back(Expand(bytes.substr(start, end - start)));
        start = end + 1;
    }

    const CliParseResult parsed = ParseCliArguments(arguments);
    if (parsed.error.empty()) {
        const CliOptions& options = parsed.options;
        if (options.threads < 1 || options.threads > 20)
            fuzz::Fail("thread count outside 1..20 accepted", bytes);
        if (options.inputFile && !options.inputs.empty())
            fuzz::Fail("both an input file and input arguments accepted", bytes);
        if (options.demo && (options.inputFile || !options.inputs.empty()))
            fuzz::Fail("--demo accepted with input", bytes);
        if (options.saveDir && options.saveDir->empty())
            fuzz::Fail("an empty save folder accepted", bytes);
        if (options.inputs.size() > arguments.size())
            fuzz::Fail("more inputs than arguments", bytes);
        (void)InputBoxText(options.inputs);
    }
    // Raw contents, as read from a file or standard input.
    const std::string box = InputBoxText(bytes);
    if (box.find('\n') != std::string::npos) {
        for (size_t at = box.find('\n'); at != std::string::npos; at = box.find('\n', at + 1)) {
            if (at == 0 || box[at - 1] != '\r')
                fuzz::Fail("the input box holds a bare line feed", bytes);
        }
    }
    return 0;
}
