#include "web/WebClient.h"

#include "platform/Charset.h"
#include "platform/HttpRequest.h"
#include "tests/support/GzipFixture.h"
#include "tests/support/RawHttpServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace harvina {
namespace {

using testing::RawConnection;
using testing::RawHttpServer;
using testing::RawRequest;
using Clock = std::chrono::steady_clock;

constexpr const char* kFetchAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/30.0.1599.101 Safari/537.36";
constexpr const char* kProbeAccept =
    "image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, application/x-silverlight, */*";

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string HostPort(const RawHttpServer& server)
{
    return "127.0.0.1:" + std::to_string(server.Port());
}

TEST(WebClientFetch, PageWorkerCallSendsTheDefaults)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("<title>t</title>")));
    WebClient client;
    const std::string given = "  " + HostPort(server) + "/page#x  ";
    EXPECT_EQ(client.FetchWithWinHttp(given, 60.0), "<title>t</title>");

    const RawRequest request = server.LastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/page");
    EXPECT_EQ(request.Header("Referer"), "http://" + HostPort(server) + "/page#x");
    EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.Header("User-Agent"), kFetchAgent);
    EXPECT_FALSE(request.HasHeader("Cookie"));
    EXPECT_FALSE(request.HasHeader("Accept-Encoding"));
    EXPECT_FALSE(request.HasHeader("X-Forwarded-For"));

    const HttpRequest& object = *client.GetRequestObject();
    EXPECT_EQ(object.Limits().resolveMs, 60000);
    EXPECT_EQ(object.Limits().connectMs, 60000);
    EXPECT_EQ(object.Limits().sendMs, 60000);
    EXPECT_EQ(object.Limits().receiveMs, 60000);
    EXPECT_EQ(object.LastWaitSeconds(), 60);
}

TEST(WebClientFetch, TimeoutArithmetic)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    struct Case {
        const char* name;
        double seconds;
        TransferLimits limits;
        double wait;
    } cases[] = {
        {"60.0", 60.0, {60000, 60000, 60000, 60000}, 60},
        {"2.7", 2.7, {2700, 2700, 2700, 2700}, 2},
        {"0.5", 0.5, {10000, 10000, 60000, 120000}, 120},
        {"absent", 0.0, {10000, 10000, 60000, 120000}, 120},
        {"-1 keeps the defaults", -1.0, {0, 60000, 30000, 30000}, 120},
        {"1 exactly", 1.0, {1000, 1000, 1000, 1000}, 1},
    };
    for (const Case& c : cases) {
        WebClient client;
        EXPECT_EQ(client.FetchWithWinHttp(server.Url(), c.seconds), "x") << c.name;
        const TransferLimits& got = client.GetRequestObject()->Limits();
        EXPECT_EQ(got.resolveMs, c.limits.resolveMs) << c.name;
        EXPECT_EQ(got.connectMs, c.limits.connectMs) << c.name;
        EXPECT_EQ(got.sendMs, c.limits.sendMs) << c.name;
        EXPECT_EQ(got.receiveMs, c.limits.receiveMs) << c.name;
        EXPECT_EQ(client.GetRequestObject()->LastWaitSeconds(), c.wait) << c.name;
    }
    // The bytes fetch counts whole seconds.
    struct WholeCase {
        int seconds;
        int ms;
        double wait;
    } whole[] = {{-1, 60000, 120}, {0, 10000, 120}, {5, 5000, 5}};
    for (const WholeCase& c : whole) {
        WebClient client;
        EXPECT_EQ(client.FetchBytesWithWinHttp(server.Url(), c.seconds), "x");
        EXPECT_EQ(client.GetRequestObject()->Limits().connectMs, c.ms) << c.seconds;
        EXPECT_EQ(client.GetRequestObject()->LastWaitSeconds(), c.wait) << c.seconds;
    }
}

TEST(WebClientFetch, HeaderRules)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    struct Case {
        const char* name;
        std::string extraHeaders;
        std::string contentType;
        std::string referer;
        std::string header;
        std::string expected; // "<absent>" when the header must not be sent
    } cases[] = {
        {"exact Content-Type suppresses the default", "Content-Type: text/xml", "", "", "Content-Type", "text/xml"},
        {"other case: default first, then replaced", "content-type: text/xml", "", "", "Content-Type", "text/xml"},
        {"contentType argument", "", "text/plain", "", "Content-Type", "text/plain"},
        {"User-Agent line", "User-Agent: Mine/1.0", "", "", "User-Agent", "Mine/1.0"},
        {"no blank after the colon", "X-A:1", "", "", "X-A", "<absent>"},
        {"only two pieces count", "X-A: 1: 2", "", "", "X-A", "1"},
        {"empty value skipped", "X-B: ", "", "", "X-B", "<absent>"},
        {"several lines", "X-C: 3\r\nX-D: 4", "", "", "X-D", "4"},
        {"a bare line break smuggles nothing", "X-A: 1\nInjected: yes", "", "", "Injected", "<absent>"},
        {"nor does it pass in the value", "X-A: 1\nInjected: yes", "", "", "X-A", "<absent>"},
        {"referer gets a scheme", "", "", "ref.example/p", "Referer", "http://ref.example/p"},
        {"referer with a scheme kept", "", "", "Https://ref.example", "Referer", "Https://ref.example"},
    };
    for (const Case& c : cases) {
        WebClient client;
        HttpFetchOptions options;
        options.extraHeaders = c.extraHeaders;
        options.contentType = c.contentType;
        options.referer = c.referer;
        client.FetchWithWinHttp(server.Url(), 5.0, options);
        const RawRequest request = server.LastRequest();
        if (c.expected == "<absent>") {
            EXPECT_FALSE(request.HasHeader(c.header)) << c.name;
            continue;
        }
        EXPECT_EQ(request.Header(c.header), c.expected) << c.name;
        size_t count = 0;
        for (const auto& [name, value] : request.headers)
            count += name == c.header ? 1 : 0;
        EXPECT_EQ(count, 1u) << c.name;
    }
}

TEST(WebClientFetch, CookieRules)
{
    RawHttpServer server(RawHttpServer::Reply(
        RawHttpServer::Ok("x", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nContent-Type: text/html\r\n")));
    WebClient client;
    client.SetStoredCookies("s=1; ");

    HttpFetchOptions stored;
    client.FetchWithWinHttp(server.Url(), 5.0, stored);
    EXPECT_EQ(server.LastRequest().Header("Cookie"), "s=1;");
    EXPECT_EQ(stored.cookie, "s=1; ");

    HttpFetchOptions empty;
    empty.cookie = "-1";
    client.FetchWithWinHttp(server.Url(), 5.0, empty);
    EXPECT_TRUE(server.LastRequest().HasHeader("Cookie"));
    EXPECT_EQ(server.LastRequest().Header("Cookie"), "");

    HttpFetchOptions own;
    own.cookie = "c=3";
    own.keepCookies = true;
    client.FetchWithWinHttp(server.Url(), 5.0, own);
    EXPECT_EQ(server.LastRequest().Header("Cookie"), "c=3");
    EXPECT_EQ(client.StoredCookies(), "a=1; path=/; b=2; ");

    WebClient fresh;
    fresh.FetchWithWinHttp(server.Url(), 5.0);
    EXPECT_FALSE(server.LastRequest().HasHeader("Cookie"));
    EXPECT_EQ(fresh.StoredCookies(), "");
}

TEST(WebClientFetch, ClientAddressLines)
{
    const std::string lines = WebClient::MakeForwardedForHeaders();
    const size_t first = lines.find("\r\n");
    const size_t second = lines.find("\r\n", first + 2);
    ASSERT_NE(second, std::string::npos) << lines;
    EXPECT_EQ(lines.find("\r\n", second + 2), std::string::npos);
    const std::string forward = lines.substr(0, first);
    const std::string forwarded = lines.substr(first + 2, second - first - 2);
    const std::string remote = lines.substr(second + 2);
    ASSERT_TRUE(forward.starts_with("X-Forward-For: "));
    const std::string address = forward.substr(15);
    EXPECT_EQ(forwarded, "X-Forwarded-For: " + address);
    EXPECT_EQ(remote, "REMOTE_ADDR: " + address);
    int octets[4] = {-1, -1, -1, -1};
    char tail = 0;
    ASSERT_EQ(std::sscanf(address.c_str(), "%d.%d.%d.%d%c", &octets[0], &octets[1], &octets[2], &octets[3], &tail), 4)
        << address;
    for (int octet : octets) {
        EXPECT_GE(octet, 0);
        EXPECT_LE(octet, 255);
    }

    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    WebClient client;
    HttpFetchOptions options;
    options.extraHeaders = "X-E: 5";
    options.addForwardedFor = true;
    client.FetchWithWinHttp(server.Url(), 5.0, options);
    const RawRequest request = server.LastRequest();
    EXPECT_EQ(request.Header("X-E"), "5");
    EXPECT_FALSE(request.Header("X-Forwarded-For").empty());
    EXPECT_EQ(request.Header("X-Forward-For"), request.Header("X-Forwarded-For"));
    EXPECT_EQ(request.Header("REMOTE_ADDR"), request.Header("X-Forwarded-For"));
}

TEST(WebClientFetch, PostBodies)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    struct Case {
        const char* name;
        std::string text;
        std::string bytes;
        std::string method;
        std::string body;
    } cases[] = {
        {"bytes only", "", std::string("a\0b", 3), "POST", std::string("a\0b", 3)},
        {"text only", "q=1", "", "POST", "q=1"},
        {"bytes win", "q=1", "raw", "POST", "raw"},
        {"neither", "", "", "GET", ""},
    };
    for (const Case& c : cases) {
        WebClient client;
        HttpFetchOptions options;
        options.postText = c.text;
        options.postBytes = c.bytes;
        client.FetchWithWinHttp(server.Url("/form"), 5.0, options);
        EXPECT_EQ(server.LastRequest().method, c.method) << c.name;
        EXPECT_EQ(server.LastRequest().body, c.body) << c.name;
    }
}

TEST(WebClientFetch, CharsetFromHeadersAndPage)
{
    const std::string utf8 = "<html><head><meta charset=utf-8></head><body>中文</body></html>";
    RawHttpServer server(RawHttpServer::Routes({
        {"/header", RawHttpServer::Ok("中文", "Content-Type: text/html; Charset=UTF-8\r\n")},
        {"/meta", RawHttpServer::Ok(utf8, "Content-Type: text/html\r\n")},
        {"/gzip", RawHttpServer::Ok(testing::GzipBytes(utf8), "Content-Type: text/html\r\n")},
    }));
    WebClient client;
    HttpFetchOptions byHeader;
    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/header"), 5.0, byHeader), LocalText("中文"));
    EXPECT_EQ(byHeader.charsetCode, 2);

    HttpFetchOptions byMeta;
    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/meta"), 5.0, byMeta), LocalText(utf8));
    EXPECT_EQ(byMeta.charsetCode, 0);

    HttpFetchOptions raw;
    raw.charsetCode = -1;
    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/header"), 5.0, raw), "中文");
    HttpFetchOptions service;
    service.charsetCode = -2;
    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/header"), 5.0, service), LocalText("中文"));

    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/gzip"), 5.0), LocalText(utf8));
    EXPECT_FALSE(server.LastRequest().HasHeader("Accept-Encoding"));
    EXPECT_EQ(client.FetchBytesWithWinHttp(server.Url("/gzip"), 5), utf8);
}

TEST(WebClientFetch, ErrorPageBodyIsReturned)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Response(404, "Not Found", "", "<h1>gone</h1>")));
    WebClient client;
    EXPECT_EQ(client.FetchWithWinHttp(server.Url("/nope"), 5.0), "<h1>gone</h1>");
    EXPECT_EQ(client.GetStatus(), 404);
    EXPECT_EQ(client.GetStatusText(), "Not Found");
}

TEST(WebClientFetch, RedirectsFollowedByFetchesNotByProbes)
{
    RawHttpServer server(RawHttpServer::Routes({
        {"/a", RawHttpServer::Response(302, "Found", "Location: /b\r\n", "moved")},
        {"/b", RawHttpServer::Ok("landed")},
    }));
    WebClient fetcher;
    EXPECT_EQ(fetcher.FetchWithWinHttp(server.Url("/a"), 5.0), "landed");
    EXPECT_EQ(server.LastRequest().target, "/b");

    const size_t before = server.RequestCount();
    WebClient prober;
    EXPECT_EQ(prober.GetRedirectLocation(server.Url("/a")), "/b");
    EXPECT_EQ(WebClient().GetStatusCode(server.Url("/a")), 302);
    EXPECT_EQ(WebClient().QuickGetLocation(server.Url("/a")), "/b");
    EXPECT_EQ(server.RequestCount(), before + 3);
    EXPECT_EQ(server.LastRequest().target, "/a");
}

TEST(WebClientFetch, OnlyHttpAndHttpsAreSpoken)
{
    const std::filesystem::path secret = std::filesystem::temp_directory_path() / "harvina-web-secret.txt";
    std::ofstream(secret) << "SECRET-CONTENT";
    const std::string fileUrl = "file://" + secret.string();
    RawHttpServer server(RawHttpServer::Routes({
        {"/file", RawHttpServer::Response(302, "Found", "Location: " + fileUrl + "\r\n", "moved")},
        {"/ftp", RawHttpServer::Response(301, "Moved", "Location: ftp://127.0.0.1/x\r\n", "moved")},
        {"/dict", RawHttpServer::Response(302, "Found", "Location: dict://127.0.0.1:1/x\r\n", "moved")},
    }));
    for (const std::string& url : {server.Url("/file"), server.Url("/ftp"), server.Url("/dict"), fileUrl,
                                   std::string("C:\\pages\\a.htm")}) {
        WebClient client;
        EXPECT_EQ(client.FetchWithWinHttp(url, 5.0), "") << url;
        EXPECT_EQ(client.GetStatus(), 0) << url;
        std::string path = url;
        WinInetFetchOptions options;
        EXPECT_EQ(client.FetchWithWinInet(path, 5.0, options), "") << url;
        EXPECT_EQ(options.responseBody, "") << url;
    }
    std::filesystem::remove(secret);
}

TEST(WebClientFetch, StallingServerGivesEmptyNearTheLimit)
{
    RawHttpServer server(RawHttpServer::Routes({}));
    RawHttpServer silent([](const RawRequest&, RawConnection& c) { c.Stall(std::chrono::seconds(5)); });
    RawHttpServer halfBody([](const RawRequest&, RawConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf");
        c.Stall(std::chrono::seconds(5));
    });
    struct Case {
        const char* name;
        std::string url;
        double seconds;
        bool synchronous;
        double low;
        double high;
    } cases[] = {
        // 1.9 s: 1900 ms time-outs and a wait of one whole second.
        {"no reply, asynchronous", silent.Url(), 1.9, false, 0.9, 1.6},
        {"body stops midway", halfBody.Url(), 1.9, false, 0.9, 1.6},
        // Synchronous: the receive time-out (an inactivity limit) ends it.
        {"no reply, synchronous", silent.Url(), 1.2, true, 1.1, 1.9},
    };
    for (const Case& c : cases) {
        WebClient client;
        HttpFetchOptions options;
        options.synchronous = c.synchronous;
        const auto start = Clock::now();
        EXPECT_EQ(client.FetchWithWinHttp(c.url, c.seconds, options), "") << c.name;
        const double took = SecondsSince(start);
        EXPECT_GE(took, c.low) << c.name;
        EXPECT_LE(took, c.high) << c.name;
    }
}

TEST(WebClientFetch, ProxyPath)
{
    RawHttpServer proxy(RawHttpServer::Reply(RawHttpServer::Ok("via proxy")));
    RawHttpServer origin(RawHttpServer::Reply(RawHttpServer::Ok("direct")));
    const std::string server = HostPort(proxy);
    struct Case {
        const char* name;
        std::optional<std::string> proxyText;
        std::string expected;
        std::string authorization;
    } cases[] = {
        {"server only", server, "via proxy", ""},
        {"user without password", server + ",user", "via proxy", ""},
        {"empty user", server + ",,secret", "via proxy", ""},
        {"credentials", server + ",user,secret", "via proxy", "Basic dXNlcjpzZWNyZXQ="},
        {"fourth part ignored", server + ",user,secret,extra", "via proxy", "Basic dXNlcjpzZWNyZXQ="},
        {"-1: no proxy", std::string("-1"), "direct", ""},
        {"absent: no proxy", std::nullopt, "direct", ""},
    };
    for (const Case& c : cases) {
        WebClient client;
        HttpFetchOptions options;
        options.proxy = c.proxyText;
        const size_t before = proxy.RequestCount();
        EXPECT_EQ(client.FetchWithWinHttp(origin.Url("/page?q=1"), 5.0, options), c.expected) << c.name;
        if (c.expected != "via proxy") {
            EXPECT_EQ(proxy.RequestCount(), before) << c.name;
            continue;
        }
        const RawRequest seen = proxy.LastRequest();
        EXPECT_EQ(seen.target, origin.Url("/page?q=1")) << c.name;
        EXPECT_EQ(seen.Header("Proxy-Authorization"), c.authorization) << c.name;
    }
}

TEST(WebClientFetch, SystemProxyComesFromTheEnvironment)
{
    RawHttpServer proxy(RawHttpServer::Reply(RawHttpServer::Ok("via proxy")));
    RawHttpServer origin(RawHttpServer::Reply(RawHttpServer::Ok("direct")));
    HttpFetchOptions options;
    options.proxy = "IE";
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    unsetenv("HTTPS_PROXY");
    EXPECT_EQ(WebClient().FetchWithWinHttp(origin.Url(), 5.0, options), "direct");
    setenv("http_proxy", ("http://" + HostPort(proxy) + "/").c_str(), 1);
    EXPECT_EQ(WebClient().FetchWithWinHttp(origin.Url(), 5.0, options), "via proxy");
    // Without an explicit proxy the environment is ignored.
    EXPECT_EQ(WebClient().FetchWithWinHttp(origin.Url(), 5.0), "direct");
    unsetenv("http_proxy");
}

TEST(WebClientProbes, HeadersAndResults)
{
    RawHttpServer server(RawHttpServer::Routes({
        {"/utf8", RawHttpServer::Ok("x", "Content-Type: text/html; charset=\"utf-8\"\r\n")},
        {"/gbk", RawHttpServer::Ok("x", "Content-Type: text/html; charset=gbk\r\n")},
        {"/go", RawHttpServer::Response(302, "Found", "Location: http://elsewhere.test/\r\n", "")},
    }));
    WebClient client;
    RedirectProbeOptions redirect;
    redirect.cookie = "k=v";
    redirect.extraHeaders = "X-P: 1";
    EXPECT_EQ(client.GetRedirectLocation(HostPort(server) + "/go#frag", redirect), "http://elsewhere.test/");
    RawRequest seen = server.LastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.Header("User-Agent"), kFetchAgent);
    EXPECT_EQ(seen.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(seen.Header("Connection"), "Keep-Alive");
    EXPECT_EQ(seen.Header("Accept"), kProbeAccept);
    EXPECT_EQ(seen.Header("Referer"), server.Url("/go"));
    EXPECT_EQ(seen.Header("Cookie"), "k=v");
    EXPECT_EQ(seen.Header("X-P"), "1");
    EXPECT_EQ(client.StoredCookies(), "");

    RedirectProbeOptions post;
    post.postText = "a=b";
    post.userAgent = "Probe/2";
    EXPECT_EQ(WebClient().GetRedirectLocation(server.Url("/go"), post), "http://elsewhere.test/");
    EXPECT_EQ(server.LastRequest().method, "POST");
    EXPECT_EQ(server.LastRequest().body, "a=b");
    EXPECT_EQ(server.LastRequest().Header("User-Agent"), "Probe/2");

    EXPECT_EQ(WebClient().DetectUtf8Charset(server.Url("/utf8")), 2);
    EXPECT_EQ(server.LastRequest().Header("User-Agent"), "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)");
    EXPECT_EQ(WebClient().DetectUtf8Charset(server.Url("/gbk"), true), 0);

    EXPECT_EQ(WebClient().GetStatusCode(server.Url("/none"), false, 0, std::string("z=1")), 404);
    seen = server.LastRequest();
    EXPECT_EQ(seen.Header("Cookie"), "z=1");
    EXPECT_FALSE(seen.HasHeader("User-Agent"));
    EXPECT_FALSE(seen.HasHeader("Accept-Language"));
    EXPECT_FALSE(seen.HasHeader("Referer"));
    EXPECT_EQ(WebClient().QuickGetLocation(server.Url("/go")), "http://elsewhere.test/");
    EXPECT_EQ(server.LastRequest().Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
}

TEST(WebClientProbes, NoResponseGivesEmptyResults)
{
    int closedPort = 0;
    {
        RawHttpServer gone(RawHttpServer::Routes({}));
        closedPort = gone.Port();
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
    WebClient client;
    EXPECT_EQ(client.GetStatusCode(url), 0);
    EXPECT_EQ(client.GetRedirectLocation(url), "");
    EXPECT_EQ(client.DetectUtf8Charset(url), 0);
    EXPECT_EQ(client.FetchWithWinHttp(url, 5.0), "");
    EXPECT_EQ(client.FetchBytesWithWinHttp(url, 5), "");
}

} // namespace
} // namespace harvina
