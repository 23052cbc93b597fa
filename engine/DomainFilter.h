#pragma once

#include <string>
#include <string_view>

namespace harvina {

class ExtractionHost;
class MarkupReader;
class RegexMatcher;

// The address pattern of the text pass.
[[nodiscard]] const std::string& AddressPattern();
// Runs of dots, and dots and hyphens at the start of a host.
[[nodiscard]] const std::string& CleanupPattern();

// The host part of an address: after the first "//" (or from the start) up
// to the next "/".
[[nodiscard]] std::string HostOfAddress(std::string_view address);

// The candidates of the two passes of a page. The caller holds the job lock.
// `cleanup` holds CleanupPattern().
void AcceptTextMatch(ExtractionHost& host, RegexMatcher& cleanup, std::string_view match);
void AcceptLinkElement(ExtractionHost& host, const MarkupReader& reader, std::string_view element);

// The same two steps split in what depends only on the page, which any
// thread may compute without the lock, and what reads the options and the
// job's state, which needs it.
[[nodiscard]] std::string DomainOfTextMatch(RegexMatcher& cleanup, std::string_view match);

struct LinkCandidate {
    bool wrapsImage = false; // the element holds "<img"
    bool hasHost = false;    // its href holds "//"
    std::string domain;      // the href's host, case kept
};
[[nodiscard]] LinkCandidate ReadLinkElement(const MarkupReader& reader, std::string_view element);
void AcceptLinkCandidate(ExtractionHost& host, const LinkCandidate& link);

// Duplicate test, suffix restriction, count and result line.
void RecordDomain(ExtractionHost& host, const std::string& domain);

} // namespace harvina
