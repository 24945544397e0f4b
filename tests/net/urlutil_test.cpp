// URL splitting and composing, Host header text, proxy chains and relative links.
#include <gtest/gtest.h>

#include "net/urlutil.h"

// ア 83 41, 表 95 5C, ソ 83 5C.
#define KANA_A "\x83\x41"
#define HYO "\x95\x5C"
#define KANA_SO "\x83\x5C"

TEST(ParseUrl, AllParts) {
    TUrlInfo info = ParseUrl("http://User@Server1:8080/a/b.cgi?x=1");
    EXPECT_EQ(info.url, "http://User@Server1:8080/a/b.cgi?x=1");
    EXPECT_EQ(info.protocol, "http");
    EXPECT_EQ(info.username, "User");
    EXPECT_EQ(info.password, "");
    EXPECT_EQ(info.hostname, "server1");
    EXPECT_EQ(info.port, "8080");
    EXPECT_EQ(info.path, "/a/b.cgi?x=1");
    EXPECT_EQ(info.directory, "/a/");
    EXPECT_EQ(info.filename, "b.cgi");
    EXPECT_EQ(info.query, "?x=1");

    info = ParseUrl("FTP://me:se:cret@Files.example/pub/");
    EXPECT_EQ(info.protocol, "ftp");
    EXPECT_EQ(info.username, "me");
    EXPECT_EQ(info.password, "se:cret");
    EXPECT_EQ(info.hostname, "files.example");
    EXPECT_EQ(info.directory, "/pub/");
    EXPECT_EQ(info.filename, "");
}

TEST(ParseUrl, HostAloneAndBadPorts) {
    TUrlInfo info = ParseUrl("host");
    EXPECT_EQ(info.protocol, "");
    EXPECT_EQ(info.hostname, "host");
    EXPECT_EQ(info.path, "/");
    EXPECT_EQ(info.directory, "/");
    EXPECT_EQ(info.filename, "");
    info = ParseUrl("http://h:abc/x");
    EXPECT_EQ(info.hostname, "h");
    EXPECT_EQ(info.port, "");
    info = ParseUrl("  http://h: 81 /x  ");
    EXPECT_EQ(info.url, "  http://h: 81 /x  ");
    EXPECT_EQ(info.port, "81");
    EXPECT_EQ(info.path, "/x");
}

TEST(ParseUrl, QueriesAndFtpPaths) {
    TUrlInfo info = ParseUrl("http://h/a/b.cgi?u=/c/d?e");
    EXPECT_EQ(info.directory, "/a/");
    EXPECT_EQ(info.filename, "b.cgi");
    EXPECT_EQ(info.query, "?u=/c/d?e");
    info = ParseUrl("ftp://h/d/f?x");
    EXPECT_EQ(info.directory, "/d/");
    EXPECT_EQ(info.filename, "f?x");
    EXPECT_EQ(info.query, "");
}

TEST(ParseUrl, DoubleByteTextStaysWhole) {
    TUrlInfo info = ParseUrl("http://" KANA_A "B.example/" HYO "/" KANA_SO ".html");
    EXPECT_EQ(info.hostname, KANA_A "b.example");  // the trail byte 41 is no letter A
    EXPECT_EQ(info.directory, "/" HYO "/");
    EXPECT_EQ(info.filename, KANA_SO ".html");
}

TEST(ComposeUrl, DefaultPortsAndUsers) {
    EXPECT_EQ(ComposeUrl(ParseUrl("http://h:80/a")), "http://h/a");
    EXPECT_EQ(ComposeUrl(ParseUrl("http://h:8080/a")), "http://h:8080/a");
    EXPECT_EQ(ComposeUrl(ParseUrl("https://h:443/")), "https://h/");
    EXPECT_EQ(ComposeUrl(ParseUrl("ftp://u:p@h:21/x")), "ftp://u:p@h/x");
    EXPECT_EQ(ComposeUrl(ParseUrl("ftp://u@h:2121/x")), "ftp://u:@h:2121/x");
    EXPECT_EQ(ComposeUrl(ParseUrl("rtsp://h:554/live")), "rtsp://h:554/live");
    EXPECT_EQ(ComposeUrl(ParseUrl("http://h")), "http://h/");
    EXPECT_EQ(ComposeUrl(ParseUrl("h/x")), "h/x");
}

TEST(UrlHostPort, HostHeader) {
    EXPECT_EQ(UrlHostPort("http://H:8080/x"), "h:8080");
    EXPECT_EQ(UrlHostPort("http://h/x"), "h");
    EXPECT_EQ(UrlHostPort("http://h:80/x"), "h:80");
}

TEST(ParseProxy, FirstProxyAndChain) {
    AnsiString prefix = "/x", host, port;
    ParseProxy(" proxy:8080 ", prefix, host, port);
    EXPECT_EQ(host, "proxy");
    EXPECT_EQ(port, "8080");
    EXPECT_EQ(prefix, "/x");
    ParseProxy("p1:80+p2:81+p3", prefix, host, port);
    EXPECT_EQ(host, "p1");
    EXPECT_EQ(port, "80");
    EXPECT_EQ(prefix, "http://p2:81/-_-http://p3/-_-/x");
    ParseProxy("alone", prefix, host, port);
    EXPECT_EQ(host, "alone");
    EXPECT_EQ(port, "");
}

TEST(ResolveRelativeUrl, LinkForms) {
    const char* base = "http://h/a/b/c.html";
    EXPECT_EQ(ResolveRelativeUrl(base, "../x.html"), "http://h/a/x.html");
    EXPECT_EQ(ResolveRelativeUrl(base, "../../x.html"), "http://h/x.html");
    EXPECT_EQ(ResolveRelativeUrl(base, "../../../../x.html"), "http://h/x.html");
    EXPECT_EQ(ResolveRelativeUrl(base, "/r/s"), "http://h/r/s");
    EXPECT_EQ(ResolveRelativeUrl(base, "./d.html"), "http://h/a/b/d.html");
    EXPECT_EQ(ResolveRelativeUrl(base, "e.html;jsessionid=1"), "http://h/a/b/e.html");
    EXPECT_EQ(ResolveRelativeUrl(base, "ftp://o/p;type=i"), "ftp://o/p");
    EXPECT_EQ(ResolveRelativeUrl("http://u:p@h:8080/a/?q", "x?y"), "http://u:p@h:8080/a/x?y");
    EXPECT_EQ(ResolveRelativeUrl("http://h", "x"), "http://h/x");
}
