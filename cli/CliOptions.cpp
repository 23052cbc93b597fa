#include "cli/CliOptions.h"

#include <charconv>

namespace harvina {

namespace {

constexpr int kMinThreads = 1;
constexpr int kMaxThreads = 20;

bool ParseThreads(const std::string& text, int& threads)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < kMinThreads || value > kMaxThreads)
        return false;
    threads = value;
    return true;
}

} // namespace

CliParseResult ParseCliArguments(const std::vector<std::string>& arguments)
{
    CliParseResult result;
    CliOptions& options = result.options;
    bool onlyInputs = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (onlyInputs || argument.empty() || argument == "-" || argument[0] != '-') {
            options.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyInputs = true;
            continue;
        }
        // "--name=value" is the same as "--name value".
        std::optional<std::string> inlineValue;
        if (argument.rfind("--", 0) == 0) {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                inlineValue = argument.substr(equals + 1);
                argument.resize(equals);
            }
        }
        auto takeValue = [&](std::string& value) {
            if (inlineValue) {
                value = *inlineValue;
                return true;
            }
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        auto flag = [&](bool& target, bool value) {
            if (inlineValue) {
                result.error = "option " + argument + " takes no value";
                return;
            }
            target = value;
        };

        std::string value;
        if (argument == "-i" || argument == "--input") {
            if (!takeValue(value))
                result.error = "option " + argument + " needs a file";
            else
                options.inputFile = value;
        } else if (argument == "-t" || argument == "--threads") {
            if (!takeValue(value))
                result.error = "option " + argument + " needs a number";
            else if (!ParseThreads(value, options.threads))
                result.error = "thread count must be 1 to 20, not \"" + value + "\"";
        } else if (argument == "--suffix") {
            if (!takeValue(value))
                result.error = "option --suffix needs a list such as .com|.cn";
            else
                options.suffixList = value;
        } else if (argument == "-o" || argument == "--save-dir") {
            if (!takeValue(value) || value.empty())
                result.error = "option " + argument + " needs a folder";
            else
                options.saveDir = value;
        } else if (argument == "--no-text") {
            flag(options.extractText, false);
        } else if (argument == "--no-links") {
            flag(options.extractLinks, false);
        } else if (argument == "--images-only") {
            flag(options.imagesOnly, true);
        } else if (argument == "--alt-fetch") {
            flag(options.altFetch, true);
        } else if (argument == "--stdout") {
            flag(options.printDomains, true);
        } else if (argument == "-q" || argument == "--quiet") {
            flag(options.quiet, true);
        } else if (argument == "--demo") {
            flag(options.demo, true);
        } else if (argument == "-h" || argument == "--help") {
            flag(options.help, true);
        } else if (argument == "--version") {
            flag(options.version, true);
        } else {
            result.error = "unknown option " + argument;
        }
        if (!result.error.empty())
            return result;
    }
    if (options.inputFile && !options.inputs.empty())
        result.error = "give the input either with -i or as arguments, not both";
    else if (options.demo && (options.inputFile || !options.inputs.empty()))
        result.error = "--demo brings its own input";
    return result;
}

std::string CliUsage()
{
    return "Usage: harvina-cli [options] [INPUT...]\n"
           "Harvest domain names from web pages. Each INPUT is a page address or the path\n"
           "of a list file holding one address per line; without INPUT or -i the lines\n"
           "are read from standard input.\n"
           "\n"
           "  -i, --input FILE     take the input lines from FILE\n"
           "  -t, --threads N      pages fetched at once, 1 to 20 (default 6)\n"
           "      --no-text        do not take addresses written in the page text\n"
           "      --no-links       do not take hyperlink targets\n"
           "      --images-only    only links that wrap a picture\n"
           "      --suffix LIST    only domains containing one of LIST, e.g. \".com|.cn|.net\"\n"
           "  -o, --save-dir DIR   folder of the result file (default: ~/域名提取结果)\n"
           "      --alt-fetch      use the second fetch path\n"
           "      --stdout         also print each accepted domain, one per line\n"
           "  -q, --quiet          no progress, no messages\n"
           "      --demo           run a job over a built-in sample site on 127.0.0.1\n"
           "      --help           show this text\n"
           "      --version        show the version\n"
           "\n"
           "Ctrl-C stops the job: no new page starts, running pages finish.\n"
           "Exit status: 0 the job ran, 1 the result file cannot be created, 2 usage error.\n";
}

} // namespace harvina
