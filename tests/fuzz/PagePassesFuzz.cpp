// The page worker's steps after the fetch on a random page: spacing, the title,
// the text pass (cleaner chain and address pattern) and the link pass (every a
// element's href), each candidate through the domain filters.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "engine/DomainFilter.h"
#include "engine/PageWorker.h"
#include "tests/fuzz/FuzzHost.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"
#include "text/TextBetween.h"
#include "text/TextCleaner.h"

using namespace harvina;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::FuzzHost::Boxes boxes;
    boxes.extractText = in.ConsumeBool();
    boxes.extractLinks = in.ConsumeBool();
    boxes.imagesOnly = in.ConsumeBool();
    boxes.restrictSuffix = in.ConsumeBool();
    fuzz::FuzzHost host(boxes);
    host.StartJob(in.ConsumeBool() ? ".com|.cn|.net" : in.ConsumeRandomLengthString(24));
    const std::string raw = in.ConsumeRemainingBytesAsString();

    const std::string page = SpaceMarkup(raw);
    size_t brackets = 0;
    for (const char c : raw)
        brackets += c == '<' || c == '>';
    if (page.size() != raw.size() + brackets)
        fuzz::Fail("spacing added other than one blank per bracket", raw);
    host.SetStatusText(3, TextBetween(page, "<title>", "</title>"));

    if (host.ExtractTextChecked()) {
        const TextCleaner cleaner;
        std::string text = cleaner.RemoveComments(page, true);
        text = cleaner.RemoveNonContent(text, true);
        text = cleaner.HtmlToText(text, true);
        RegexMatcher address;
        RegexMatcher cleanup;
        address.Create(AddressPattern());
        cleanup.Create(CleanupPattern());
        host.SetTextPass(true);
        const int n = address.Execute(text);
        for (int k = 1; k <= n; ++k)
            AcceptTextMatch(host, cleanup, address.MatchText(k));
    }
    if (host.ExtractLinksChecked()) {
        MarkupReader reader;
        const int found = reader.FindAll(page, "a");
        if (found != reader.Count())
            fuzz::Fail("FindAll and Count disagree", raw);
        host.SetTextPass(false);
        for (int k = 1; k <= reader.Count(); ++k)
            AcceptLinkElement(host, reader, reader.Item(k));
    }
    return 0;
}
