#include "web/WebClient.h"

#include "platform/HttpRequest.h"
#include "tests/support/RawHttpServer.h"

#include <gtest/gtest.h>

namespace harvina {
namespace {

using testing::RawHttpServer;

std::string SentHeader(const WebClient& client, std::string_view name)
{
    for (const auto& [key, value] : client.GetRequestObject()->RequestHeaders()) {
        if (key == name)
            return value;
    }
    return "<absent>";
}

TEST(WebClient, OpenNormalisesTheCallersUrl)
{
    struct Case {
        std::string given;
        std::string opened;
    } cases[] = {
        {"host.example/a#top", "http://host.example/a"},
        {"HTTPS://host.example", "HTTPS://host.example"},
        {"Http://host.example/x#", "Http://host.example/x"},
        {"", ""},
    };
    for (const Case& c : cases) {
        WebClient client;
        std::string url = c.given;
        client.Open("GET", url);
        EXPECT_EQ(url, c.opened) << c.given;
    }
}

TEST(WebClient, RefererRule)
{
    struct Case {
        std::string name;
        std::string value;
        std::string sent;
    } cases[] = {
        {"REFERER", "host.example", "http://host.example"},
        {"Referer", "Https://host.example", "Https://host.example"},
        {"Referer", "", "http://"},
        {"X-Referer", "host.example", "host.example"},
        {"Origin", "host.example", "host.example"},
    };
    for (const Case& c : cases) {
        WebClient client;
        std::string url = "http://127.0.0.1/";
        client.Open("GET", url);
        client.SetRequestHeader(c.name, c.value);
        EXPECT_EQ(SentHeader(client, c.name), c.sent) << c.name << " " << c.value;
    }
}

TEST(WebClient, SetTimeoutsFillsGapsWithTheResolveTime)
{
    WebClient client;
    client.SetTimeouts(3000);
    TransferLimits limits = client.GetRequestObject()->Limits();
    EXPECT_EQ(limits.resolveMs + limits.connectMs + limits.sendMs + limits.receiveMs, 12000);
    client.SetTimeouts(3000, 0, -5, 7000);
    limits = client.GetRequestObject()->Limits();
    EXPECT_EQ(limits.connectMs, 3000);
    EXPECT_EQ(limits.sendMs, 3000);
    EXPECT_EQ(limits.receiveMs, 7000);
}

TEST(WebClient, SendPrefersBytes)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Ok("x")));
    WebClient client;
    std::string url = server.Url();
    client.Open("POST", url);
    client.Send("text", "bytes");
    EXPECT_EQ(server.LastRequest().body, "bytes");
    client.Open("POST", url);
    client.Send("text");
    EXPECT_EQ(server.LastRequest().body, "text");
    client.Open("GET", url);
    client.Send();
    EXPECT_EQ(server.LastRequest().body, "");
    EXPECT_EQ(server.LastRequest().Header("Content-Length"), "");
}

TEST(WebClient, ResponsePrimitives)
{
    RawHttpServer server(RawHttpServer::Reply(RawHttpServer::Response(
        201, "Created Here", "Set-Cookie: a=1; path=/\r\nX-Note: hi\r\nSet-Cookie: b=2\r\n", "body")));
    WebClient client;
    std::string url = server.Url();
    client.Open("GET", url, true);
    client.Send();
    EXPECT_EQ(client.GetStatus(), 0); // nothing yet: asynchronous requests run inside the wait
    client.WaitForResponse(5);
    EXPECT_EQ(client.GetStatus(), 201);
    EXPECT_EQ(client.GetStatusText(), "Created Here");
    EXPECT_EQ(client.GetResponseBody(), "body");
    EXPECT_EQ(client.GetResponseHeader("x-note"), "hi");
    EXPECT_EQ(client.GetResponseHeader("X-Missing"), "");
    EXPECT_NE(client.GetAllResponseHeaders().find("X-Note: hi\r\n"), std::string::npos);
    EXPECT_EQ(client.GetSetCookieLines(), "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n");
    EXPECT_EQ(client.GetResponseCookies(), "a=1; path=/; b=2; ");
    EXPECT_EQ(client.GetCookie("a"), "1");
    // The last line has no ";" after the value.
    EXPECT_EQ(client.GetCookie("b"), "");
    EXPECT_EQ(client.GetCookie("c"), "");
}

TEST(WebClient, CookieLookupStaysOnItsLine)
{
    RawHttpServer server(RawHttpServer::Reply(
        RawHttpServer::Response(200, "OK", "Set-Cookie: b=2\r\nSet-Cookie: c=3; path=/\r\nSet-Cookie:d=4;\r\n", "")));
    WebClient client;
    std::string url = server.Url();
    client.Open("GET", url);
    client.Send();
    EXPECT_EQ(client.GetCookie("b"), "");
    EXPECT_EQ(client.GetCookie("c"), "3");
    EXPECT_EQ(client.GetCookie("d"), "4");
    EXPECT_EQ(WebClient().GetResponseCookies(), "");
}

TEST(WebClient, OptionsResetAndCookies)
{
    WebClient client;
    EXPECT_EQ(client.Option(6), 1);
    EXPECT_EQ(client.Option(6, 0), 0);
    EXPECT_EQ(client.Option(4, 0x3300), 0x3300);
    client.Reset();
    EXPECT_EQ(client.Option(6), 1);
    client.SetStoredCookies("a=1; ");
    client.Reset();
    EXPECT_EQ(client.StoredCookies(), "a=1; ");
    EXPECT_EQ(client.ResetAll(), "");
    EXPECT_EQ(client.StoredCookies(), "");
}

} // namespace
} // namespace harvina
