#include "engine/DomainFilter.h"

#include "app/ExtractionState.h"
#include "engine/ExtractionHost.h"
#include "text/ContainsKeywords.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"
#include "text/TextSearch.h"

namespace harvina {

const std::string& AddressPattern()
{
    static const std::string kPattern =
        "([a-zA-z]+://|www.)[0-9a-bA-Z\\.\\-]+|[0-9a-bA-Z\\.\\-]+(\\.cn|\\.net|\\.org|\\.cc|\\.info|\\.name|"
        "\\.top|\\.ren|\\.xyz|\\.wang|\\.pw|\\.tw|\\.hk|\\.com)";
    return kPattern;
}

const std::string& CleanupPattern()
{
    static const std::string kPattern = "\\.{2,}|^[\\.\\-]+";
    return kPattern;
}

std::string HostOfAddress(std::string_view address)
{
    // "/" is never a trail byte of a double-byte character, so bytes will do.
    const std::size_t slashes = address.find("//");
    const std::size_t start = slashes == std::string_view::npos ? 0 : slashes + 2;
    const std::size_t end = address.find('/', start);
    return std::string(address.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string DomainOfTextMatch(RegexMatcher& cleanup, std::string_view match)
{
    return LowerLocalText(cleanup.Replace(HostOfAddress(match), ""));
}

void AcceptTextMatch(ExtractionHost& host, RegexMatcher& cleanup, std::string_view match)
{
    RecordDomain(host, DomainOfTextMatch(cleanup, match));
}

LinkCandidate ReadLinkElement(const MarkupReader& reader, std::string_view element)
{
    LinkCandidate link;
    link.wrapsImage = FindLocalText(element, "<img", 1, true) >= 0;
    const std::string href = reader.Attribute(element, "href");
    link.hasHost = href.find("//") != std::string::npos;
    // Links keep their case and are not cleaned.
    if (link.hasHost)
        link.domain = HostOfAddress(href);
    return link;
}

void AcceptLinkCandidate(ExtractionHost& host, const LinkCandidate& link)
{
    if (host.ImagesOnlyChecked() && !link.wrapsImage)
        return;
    if (!link.hasHost)
        return;
    RecordDomain(host, link.domain);
}

void AcceptLinkElement(ExtractionHost& host, const MarkupReader& reader, std::string_view element)
{
    AcceptLinkCandidate(host, ReadLinkElement(reader, element));
}

void RecordDomain(ExtractionHost& host, const std::string& domain)
{
    ExtractionState& state = GlobalExtractionState();
    // Seen first: an empty or refused domain stays seen for the rest of the job.
    if (!state.seenDomains.AddIfAbsent(domain) || domain.empty())
        return;
    if (host.RestrictSuffixChecked()) {
        KeywordOptions options;
        options.anyOne = true;
        options.separator = "|";
        options.ignoreCase = true;
        if (!ContainsKeywords(domain, state.suffixText, options))
            return;
    }
    ++state.extractedCount;
    if (!state.resultFile.Append(domain + "\r\n"))
        ++state.unwrittenCount;
    host.DomainAccepted(domain);
}

} // namespace harvina
