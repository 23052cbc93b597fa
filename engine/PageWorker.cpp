#include "engine/PageWorker.h"

#include <mutex>
#include <vector>

#include "app/ExtractionState.h"
#include "engine/DomainFilter.h"
#include "engine/ExtractionHost.h"
#include "platform/Charset.h"
#include "text/MarkupReader.h"
#include "text/RegexMatcher.h"
#include "text/TextBetween.h"
#include "text/TextCleaner.h"
#include "web/WebClient.h"

namespace harvina {

namespace {

constexpr double kFetchTimeLimitSeconds = 60.0;
// A status bar shows one short line; a page may hold megabytes between its
// title tags.
constexpr std::size_t kMaxTitleBytes = 1024;

// At most `limit` bytes of local text, cut at a character boundary.
std::string CutLocalText(std::string text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t unit = 1;
        if (static_cast<unsigned char>(text[end]) >= 0x80) {
            const bool fourBytes = end + 1 < text.size() && text[end + 1] >= '0' && text[end + 1] <= '9';
            unit = fourBytes ? 4 : 2;
        }
        if (end + unit > limit)
            break;
        end += unit;
    }
    text.resize(end);
    return text;
}

// The objects of one page, used on the worker's thread only.
struct PageObjects {
    WebClient client;
    TextCleaner cleaner;
    RegexMatcher addressMatcher;
    RegexMatcher cleanupMatcher;
    MarkupReader linkReader;
};

std::string Decimal(std::int32_t n) { return std::to_string(n); }

void ShowRunning(ExtractionHost& host, const ExtractionState& state)
{
    static const std::string kThreads = LocalText(" 个线程");
    host.SetStatusText(1, Decimal(state.runningCount) + kThreads);
}

// What the two passes find on one page. Finding depends on the page alone,
// so workers do it in parallel before the lock; recording reads the options
// and the job's state, and happens under the lock as before.
struct PageFindings {
    bool textSearched = false;
    bool linksRead = false;
    std::vector<std::string> textDomains;
    std::vector<LinkCandidate> links;
};

void FindTextDomains(PageObjects& objects, const std::string& page, PageFindings& findings)
{
    std::string text = objects.cleaner.RemoveComments(page, true);
    text = objects.cleaner.RemoveNonContent(text, true);
    text = objects.cleaner.HtmlToText(text, true);
    const int n = objects.addressMatcher.Execute(text);
    findings.textDomains.reserve(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k)
        findings.textDomains.push_back(DomainOfTextMatch(objects.cleanupMatcher, objects.addressMatcher.MatchText(k)));
    findings.textSearched = true;
}

void ReadLinks(PageObjects& objects, const std::string& page, PageFindings& findings)
{
    objects.linkReader.FindAll(page, "a");
    const int n = objects.linkReader.Count();
    findings.links.reserve(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k)
        findings.links.push_back(ReadLinkElement(objects.linkReader, objects.linkReader.Item(k)));
    findings.linksRead = true;
}

// Called with the lock held. A pass whose box was off before the lock but is
// on now is found here, late.
void RecordFindings(ExtractionHost& host, PageObjects& objects, const std::string& page, PageFindings& findings)
{
    if (host.ExtractTextChecked()) {
        if (!findings.textSearched)
            FindTextDomains(objects, page, findings);
        for (const std::string& domain : findings.textDomains)
            RecordDomain(host, domain);
    }
    if (host.ExtractLinksChecked()) {
        if (!findings.linksRead)
            ReadLinks(objects, page, findings);
        for (const LinkCandidate& link : findings.links)
            AcceptLinkCandidate(host, link);
    }
}

} // namespace

std::string SpaceMarkup(std::string_view page)
{
    // Neither byte is ever part of a double-byte character.
    std::string spaced;
    spaced.reserve(page.size() + page.size() / 8);
    std::size_t copied = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const char c = page[i];
        if (c != '<' && c != '>')
            continue;
        spaced.append(page.data() + copied, i - copied);
        spaced += c == '<' ? " <" : "> ";
        copied = i + 1;
    }
    spaced.append(page.data() + copied, page.size() - copied);
    return spaced;
}

void ProcessPage(ExtractionHost& host, const std::string& address)
{
    static const std::string kStartedHead = LocalText("第 ");
    static const std::string kStartedTail = LocalText(" 个");
    static const std::string kParsingHead = LocalText("已提取");
    static const std::string kParsingTail = LocalText("个域名");
    static const std::string kDoneHead = LocalText("已提取 ");
    static const std::string kDoneTail = LocalText(" 个域名");

    ExtractionState& state = GlobalExtractionState();
    bool decremented = false;
    try {
        PageObjects objects;
        objects.client.CreateRequest();
        objects.addressMatcher.Create(AddressPattern());
        objects.cleanupMatcher.Create(CleanupPattern());
        host.SetStatusText(0, kStartedHead + Decimal(state.startedCount) + kStartedTail);
        ShowRunning(host, state);

        const std::string page = SpaceMarkup(state.useWinInet
                                                 ? objects.client.FetchWithWinInet(address, kFetchTimeLimitSeconds)
                                                 : objects.client.FetchWithWinHttp(address, kFetchTimeLimitSeconds));
        // The raw body is no longer needed; waiting for the lock with it would
        // hold up to a capped body per waiting worker.
        objects.client.Reset();

        const std::string title = CutLocalText(TextBetween(page, "<title>", "</title>"), kMaxTitleBytes);
        PageFindings findings;
        if (host.ExtractTextChecked())
            FindTextDomains(objects, page, findings);
        if (host.ExtractLinksChecked())
            ReadLinks(objects, page, findings);

        std::lock_guard lock(*state.jobLock);
        host.SetStatusText(2, kParsingHead + Decimal(state.extractedCount) + kParsingTail);
        host.SetStatusText(3, title);
        RecordFindings(host, objects, page, findings);
        host.SetStatusText(2, kDoneHead + Decimal(state.extractedCount) + kDoneTail);
        --state.runningCount;
        decremented = true;
        ShowRunning(host, state);
    } catch (const std::exception&) {
        // Out of memory on a huge page: the page yields nothing, the job goes on.
        if (!decremented)
            --state.runningCount;
    }
}

} // namespace harvina
