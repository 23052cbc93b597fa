// Memory bounds against hostile servers. Kept in its own executable so that the
// peak-memory figures are not those of other tests.
#include "web/WebClient.h"

#include "platform/CurlTransfer.h"
#include "tests/support/GzipFixture.h"
#include "tests/support/RawHttpServer.h"
#include "web/DecodeBody.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace harvina {
namespace {

using testing::RawConnection;
using testing::RawHttpServer;
using testing::RawRequest;

constexpr size_t kMiB = 1024 * 1024;

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Growth of the peak must stay a small multiple of the cap (the transfer buffer and
// the decoded text), far below what the server offers. Sanitizer builds keep freed
// memory in quarantine, so their figures say nothing here.
void ExpectPeakGrowthBounded(long before, const char* what)
{
#if defined(__SANITIZE_ADDRESS__)
    (void)before;
    (void)what;
#else
    const long grownMiB = (PeakResidentKiB() - before) / 1024;
    EXPECT_LT(grownMiB, static_cast<long>(3 * kMaxBodyBytes / kMiB)) << what;
#endif
}

void SendEndlessBody(const RawRequest&, RawConnection& connection)
{
    if (!connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n"))
        return;
    const std::string chunk(kMiB, 'a');
    // 1 GiB at most; the client hangs up at its cap long before.
    for (int i = 0; i < 1024 && connection.Send(chunk); ++i) {
    }
}

TEST(Caps, EndlessBodyEndsAtTheCap)
{
    RawHttpServer server(&SendEndlessBody);
    const long before = PeakResidentKiB();
    const std::string page = WebClient().FetchWithWinHttp(server.Url(), 30.0);
    EXPECT_EQ(page.size(), kMaxBodyBytes);
    EXPECT_EQ(page.find_first_not_of('a'), std::string::npos);
    ExpectPeakGrowthBounded(before, "first path");

    WinInetFetchOptions options;
    std::string url = server.Url();
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 30.0, options).size(), kMaxBodyBytes);
    EXPECT_EQ(options.responseBody.size(), kMaxBodyBytes);
}

TEST(Caps, GzipBombEndsAtTheInflateCap)
{
    const std::string bomb = testing::GzipBomb(1024 * kMiB);
    ASSERT_LT(bomb.size(), 2 * kMiB);
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok(bomb, "Content-Type: text/html\r\n")));
    const long before = PeakResidentKiB();
    const std::string page = WebClient().FetchWithWinHttp(server.Url(), 30.0);
    EXPECT_EQ(page.size(), kMaxInflatedBytes);
    EXPECT_EQ(page.find_first_not_of('\0'), std::string::npos);
    ExpectPeakGrowthBounded(before, "decoded bomb");
    EXPECT_EQ(WebClient().FetchBytesWithWinHttp(server.Url(), 30).size(), kMaxInflatedBytes);
}

} // namespace
} // namespace harvina
