// HostOfAddress and the two filter entries (text match, link element) on random
// candidates, with random check boxes and suffix lists.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "engine/DomainFilter.h"
#include "tests/fuzz/FuzzHost.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"

using namespace harvina;

namespace {

void CheckHost(const std::string& address)
{
    const std::string host = HostOfAddress(address);
    if (host.find('/') != std::string::npos)
        fuzz::Fail("host holds a slash", address);
    if (address.find(host) == std::string::npos)
        fuzz::Fail("host is not a part of its address", address);
    // Only what follows the first "//" can be the host.
    const size_t slashes = address.find("//");
    if (slashes != std::string::npos && address.compare(slashes + 2, host.size(), host) != 0)
        fuzz::Fail("host does not start after the first //", address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::FuzzHost::Boxes boxes;
    boxes.imagesOnly = in.ConsumeBool();
    boxes.restrictSuffix = in.ConsumeBool();
    fuzz::FuzzHost host(boxes);
    host.StartJob(in.ConsumeBool() ? ".com|.cn|.net" : in.ConsumeRandomLengthString(24));

    RegexMatcher cleanup;
    cleanup.Create(CleanupPattern());
    const MarkupReader reader;
    // Each candidate goes through both passes, so the duplicate set sees both forms.
    while (in.remaining_bytes() > 0) {
        const std::string candidate = in.ConsumeRandomLengthString(256);
        CheckHost(candidate);
        host.SetTextPass(true);
        AcceptTextMatch(host, cleanup, candidate);
        host.SetTextPass(false);
        AcceptLinkElement(host, reader, candidate);
    }
    return 0;
}
