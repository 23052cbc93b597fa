#include "web/WebClient.h"

#include "platform/CookieStore.h"
#include "platform/Charset.h"
#include "tests/support/RawHttpServer.h"
#include "web/MergeCookies.h"
#include "web/UrlParts.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace harvina {
namespace {

using testing::RawConnection;
using testing::RawHttpServer;
using testing::RawRequest;
using Clock = std::chrono::steady_clock;

constexpr const char* kThreadedAccept =
    "image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
constexpr const char* kAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.101 Safari/537.36";

std::string HostPort(const RawHttpServer& server)
{
    return "127.0.0.1:" + std::to_string(server.Port());
}

size_t IndexOf(const std::vector<std::string>& names, std::string_view name)
{
    return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(UrlParts, HostPortPath)
{
    struct Case {
        std::string url;
        std::string host;
        std::string hostWithPort;
        int port;
        std::string path;
    } cases[] = {
        {"http://example.test", "example.test", "example.test", 80, "/"},
        {"HTTP://EXAMPLE.TEST/", "example.test", "example.test", 80, "/"},
        {"https://example.test:8443/a?b=1", "example.test", "example.test:8443", 8443, "/a?b=1"},
        {"https://example.test/x", "example.test", "example.test", 443, "/x"},
        {"example.test/page", "example.test", "example.test", 80, "/page"},
        {"http://Example.Test:81/Mixed/Case", "example.test", "example.test:81", 81, "/Mixed/Case"},
        {"http://example.test:abc/", "example.test", "example.test:abc", 0, "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
        EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    }
}

TEST(MergeCookies, NewWinsDeletedDropped)
{
    struct Case {
        std::string cookie;
        std::string fresh;
        std::string merged;
    } cases[] = {
        {"a=1; b=2", "b=3; c=deleted", "b=3; a=1"},
        {"a=1", "a=deleted", ""},
        {"a=1;a=1", "", "a=1"},
        {"a = 1", "b=2", "b=2; a=1"},
        {"flag; x=1", "x=2", "x=2; flag"},
        {"a=1;", "b=2;", "b=2; a=1"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string cookie = c.cookie;
        std::string fresh = c.fresh;
        EXPECT_EQ(MergeCookies(cookie, fresh), c.merged) << c.cookie << " + " << c.fresh;
        EXPECT_EQ(cookie, c.merged);
        EXPECT_EQ(fresh.find(' '), std::string::npos);
    }
}

class WinInetFetch : public ::testing::Test {
protected:
    void SetUp() override { CookieStore::Instance().Clear(); }
    void TearDown() override { CookieStore::Instance().Clear(); }
};

TEST_F(WinInetFetch, PageWorkerCallIsAThreadedGet)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("page")));
    WebClient client;
    EXPECT_EQ(client.FetchWithWinInet(HostPort(server) + "/page", 60.0), "page");
    const RawRequest seen = server.LastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.target, "/page");
    EXPECT_EQ(seen.Header("Referer"), HostPort(server) + "/page");
    EXPECT_EQ(seen.Header("Accept"), kThreadedAccept);
    EXPECT_EQ(seen.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(seen.Header("User-Agent"), kAgent);
    EXPECT_FALSE(seen.HasHeader("Cookie"));
    EXPECT_FALSE(seen.HasHeader("Content-Type"));
    const std::vector<std::string> names = seen.HeaderNames();
    EXPECT_LT(IndexOf(names, "Referer"), IndexOf(names, "Accept"));
    EXPECT_LT(IndexOf(names, "Accept"), IndexOf(names, "Accept-Language"));
}

TEST_F(WinInetFetch, AddressHandling)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    struct Case {
        std::string given;
        std::string afterwards;
        std::string target;
        std::string referer;
    } cases[] = {
        {HostPort(server) + "/a?b=1#frag", "http://" + HostPort(server) + "/a?b=1", "/a?b=1", HostPort(server) + "/a?b=1"},
        {"HTTP://" + HostPort(server) + "/", "HTTP://" + HostPort(server) + "/", "/", "HTTP://" + HostPort(server) + "/"},
        {"http://" + HostPort(server), "http://" + HostPort(server), "/", "http://" + HostPort(server)},
    };
    for (const Case& c : cases) {
        std::string url = c.given;
        WinInetFetchOptions options;
        EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, options), "x") << c.given;
        EXPECT_EQ(url, c.afterwards);
        EXPECT_EQ(server.LastRequest().target, c.target) << c.given;
        EXPECT_EQ(server.LastRequest().Header("Referer"), c.referer) << c.given;
    }
    // "accept" anywhere in the header text, the Referer line included, suppresses the default line.
    WebClient().FetchWithWinInet(server.Url("/accept/list"), 5.0);
    EXPECT_NE(server.LastRequest().Header("Accept"), kThreadedAccept);
    EXPECT_EQ(WebClient().FetchWithWinInet("  ", 5.0), "");
}

TEST_F(WinInetFetch, ThreadedPostAndExtraHeaders)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    std::string url = server.Url("/form");
    WinInetFetchOptions options;
    options.postText = "q=1";
    options.extraHeaders = "User-Agent: Own/1\r\nX-A: 1";
    options.addForwardedFor = true;
    options.cookie = "c=9";
    WebClient().FetchWithWinInet(url, 5.0, options);
    const RawRequest seen = server.LastRequest();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.body, "q=1");
    EXPECT_EQ(options.postBytes, "q=1");
    EXPECT_EQ(seen.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.Header("Content-Length"), "3");
    EXPECT_EQ(seen.Header("User-Agent"), "Own/1");
    EXPECT_EQ(seen.Header("X-A"), "1");
    EXPECT_EQ(seen.Header("Cookie"), "c=9");
    EXPECT_FALSE(seen.Header("X-Forwarded-For").empty());
}

TEST_F(WinInetFetch, ThreadedCookiesGoToTheProcessStore)
{
    RawHttpServer server(RawHttpServer::Routes({
        {"/set", RawHttpServer::Ok("x", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n")},
        {"/next", RawHttpServer::Ok("y")},
    }));
    std::string url = server.Url("/set");
    WinInetFetchOptions options;
    WebClient().FetchWithWinInet(url, 5.0, options);
    EXPECT_EQ(options.responseCookies, "a=1;b=2;");

    WebClient().FetchWithWinInet(server.Url("/next"), 5.0);
    EXPECT_EQ(server.LastRequest().Header("Cookie"), "a=1; b=2");

    // A request with its own cookie does not use the store.
    std::string next = server.Url("/next");
    WinInetFetchOptions own;
    own.cookie = "mine=1";
    WebClient().FetchWithWinInet(next, 5.0, own);
    EXPECT_EQ(server.LastRequest().Header("Cookie"), "mine=1");
}

TEST_F(WinInetFetch, OversizedHeadersCountAsAbsent)
{
    const std::string filler = "X-Filler: " + std::string(2100, 'f') + "\r\n";
    const std::string body = "中文页面";
    RawHttpServer server(RawHttpServer::Reply(
        RawHttpServer::Ok(body, "Content-Type: text/html; charset=utf-8\r\nSet-Cookie: a=1\r\n" + filler)));
    std::string url = server.Url();
    WinInetFetchOptions threaded;
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, threaded), LocalText(body));
    EXPECT_EQ(threaded.responseCookies, "");
    EXPECT_EQ(threaded.charsetCode, 0);
    EXPECT_EQ(CookieStore::Instance().CookieHeader("127.0.0.1"), "");

    // The direct mode's buffer is larger.
    WinInetFetchOptions direct;
    direct.direct = true;
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, direct), LocalText(body));
    EXPECT_EQ(direct.responseCookies, "a=1");
    EXPECT_EQ(direct.charsetCode, 2);
}

TEST_F(WinInetFetch, DirectModeHeadersAndCookieMerge)
{
    RawHttpServer server(RawHttpServer::Reply(
        RawHttpServer::Ok("x", "set-cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nContent-Type: text/html\r\n")));
    std::string url = server.Url("/d");
    WinInetFetchOptions options;
    options.direct = true;
    options.cookie = "a=0; c=3";
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, options), "x");
    const RawRequest seen = server.LastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.Header("Accept"), "*/*");
    EXPECT_EQ(seen.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(seen.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.Header("Cookie"), "a=0; c=3");
    EXPECT_EQ(seen.Header("User-Agent"), kAgent);
    EXPECT_EQ(options.cookie, "a=1; b=2; c=3");
    EXPECT_EQ(options.responseBody, "x");
    // Nothing of the direct mode reaches the process store.
    EXPECT_EQ(CookieStore::Instance().CookieHeader("127.0.0.1"), "");
}

TEST_F(WinInetFetch, ThroughAProxy)
{
    RawHttpServer proxy(RawHttpServer::Reply(RawHttpServer::Ok("via proxy")));
    RawHttpServer origin(RawHttpServer::Reply(RawHttpServer::Ok("direct")));
    for (const bool direct : {false, true}) {
        std::string url = origin.Url("/p?q=1");
        WinInetFetchOptions options;
        options.proxy = HostPort(proxy);
        options.direct = direct;
        EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, options), "via proxy") << direct;
        EXPECT_EQ(proxy.LastRequest().target, origin.Url("/p?q=1")) << direct;
    }
    EXPECT_EQ(WebClient().FetchWithWinInet(origin.Url(), 5.0), "direct");
}

TEST_F(WinInetFetch, ThreadedLimitDiscardsALateAnswer)
{
    RawHttpServer late([](const RawRequest&, RawConnection& c) {
        c.Stall(std::chrono::milliseconds(1500));
        c.Send(RawHttpServer::Ok("late", "Set-Cookie: late=1\r\n"));
    });
    std::string url = late.Url();
    WinInetFetchOptions options;
    const auto start = Clock::now();
    // 1.9 s is a limit of one whole second.
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 1.9, options), "");
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(took, 0.95);
    EXPECT_LE(took, 1.5);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(options.responseBody, "");
    EXPECT_EQ(options.responseCookies, "");
    EXPECT_EQ(CookieStore::Instance().CookieHeader("127.0.0.1"), "");
}

TEST_F(WinInetFetch, DirectModeTimesOut)
{
    RawHttpServer silent([](const RawRequest&, RawConnection& c) { c.Stall(std::chrono::seconds(5)); });
    std::string url = silent.Url();
    WinInetFetchOptions options;
    options.direct = true;
    const auto start = Clock::now();
    EXPECT_EQ(WebClient().FetchWithWinInet(url, 1.0, options), "");
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(took, 0.9);
    EXPECT_LE(took, 1.8);
}

TEST_F(WinInetFetch, BodyThatStopsMidwayKeepsWhatCame)
{
    RawHttpServer cut([](const RawRequest&, RawConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nfirst half");
    });
    EXPECT_EQ(WebClient().FetchWithWinInet(cut.Url(), 5.0), "first half");
}

} // namespace
} // namespace harvina
