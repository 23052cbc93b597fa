#include "tests/fuzz/FuzzHost.h"

#include <cstdio>
#include <cstdlib>

#include "app/ExtractionState.h"
#include "text/TextSearch.h"

namespace harvina::fuzz {

void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fprintf(stderr, "  detail (%zu bytes):", detail.size());
    for (const char c : detail.substr(0, 256))
        std::fprintf(stderr, " %02x", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

void FuzzHost::StartJob(const std::string& suffixText)
{
    ExtractionState& state = GlobalExtractionState();
    state.seenDomains.Clear();
    state.suffixText = suffixText;
    state.extractedCount = 0;
    state.unwrittenCount = 0;
    countBefore_ = 0;
    accepted_ = 0;
    written_.clear();
}

void FuzzHost::SetStatusText(int part, const std::string&)
{
    if (part < 0 || part > 3)
        Fail("status part out of range", std::to_string(part));
}

void FuzzHost::DomainAccepted(const std::string& domain)
{
    const ExtractionState& state = GlobalExtractionState();
    if (domain.empty())
        Fail("empty domain accepted", domain);
    if (!written_.insert(domain).second)
        Fail("domain accepted twice in one job", domain);
    if (state.extractedCount != countBefore_ + 1)
        Fail("count did not rise by one per accepted domain", domain);
    countBefore_ = state.extractedCount;
    if (domain.find('/') != std::string::npos)
        Fail("domain holds a slash", domain);
    if (textPass_) {
        if (domain.find("..") != std::string::npos)
            Fail("text-pass domain keeps a run of dots", domain);
        for (size_t i = 0; i < domain.size(); i += LocalUnitLength(domain, i)) {
            if (domain[i] >= 'A' && domain[i] <= 'Z')
                Fail("text-pass domain keeps a capital", domain);
        }
    }
    ++accepted_;
}

} // namespace harvina::fuzz
