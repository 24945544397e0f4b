// Wildcards, random letters, numbered and temporary names, separators,
// quotes, address texts and WinSock error names.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <set>

#include "net/netaddress.h"
#include "net/textutil.h"

// 表 95 5C, ダ 83 5F (its trail byte is "_"), ャ 83 61 and ア 83 41.
#define HYO "\x95\x5C"
#define KANA_DA "\x83\x5F"
#define KANA_SMALL_YA "\x83\x61"
#define KANA_A "\x83\x41"

TEST(WildcardMatch, StarsAndQuestionMarks) {
    EXPECT_TRUE(WildcardMatch("Readme.TXT", "*.txt", true));
    EXPECT_FALSE(WildcardMatch("Readme.TXT", "*.txt", false));
    EXPECT_TRUE(WildcardMatch("", "", false));
    EXPECT_TRUE(WildcardMatch("", "*", false));
    EXPECT_FALSE(WildcardMatch("", "?", false));
    EXPECT_TRUE(WildcardMatch("abc", "a*c", false));
    EXPECT_FALSE(WildcardMatch("abc", "a*b", false));
    EXPECT_TRUE(WildcardMatch("mississippi", "m*iss*ppi", false));
    EXPECT_TRUE(WildcardMatch("aXbXc", "*X*c", false));
    EXPECT_TRUE(WildcardMatch("abc", "a?c", false));
    EXPECT_FALSE(WildcardMatch("abc", "a?", false));
    EXPECT_TRUE(WildcardMatch("abc", "***", false));
}

TEST(WildcardMatch, DoubleByteCharacters) {
    EXPECT_TRUE(WildcardMatch(HYO ".txt", "?.txt", false));
    EXPECT_FALSE(WildcardMatch(HYO ".txt", "??.txt", false));
    EXPECT_TRUE(WildcardMatch("a" HYO "b", "*" HYO "*", false));
    // Upper-casing for ignore case leaves trail bytes alone: ャ is not ア.
    EXPECT_FALSE(WildcardMatch(KANA_SMALL_YA, KANA_A, true));
    EXPECT_TRUE(WildcardMatch(KANA_A "x", KANA_A "X", true));
}

TEST(RandomLetters, LettersOnlyAndDifferent) {
    AnsiString a = RandomLetters(42), b = RandomLetters(42);
    EXPECT_EQ(a.length(), 42u);
    EXPECT_NE(a, b);
    for (char c : a.view()) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) << c;
    EXPECT_EQ(RandomLetters(0), "");
    std::set<char> seen;
    AnsiString many = RandomLetters(4000);
    for (char c : many.view()) seen.insert(c);
    EXPECT_EQ(seen.size(), 52u);
}

TEST(NextNumberedName, CounterBeforeTheExtension) {
    EXPECT_EQ(NextNumberedName("a.txt"), "a_000.txt");
    EXPECT_EQ(NextNumberedName("a_000.txt"), "a_001.txt");
    EXPECT_EQ(NextNumberedName("a_009"), "a_010");
    EXPECT_EQ(NextNumberedName("log_1234.log"), "log_1235.log");
    EXPECT_EQ(NextNumberedName("a_b.txt"), "a_b_000.txt");
    EXPECT_EQ(NextNumberedName("a_-5.txt"), "a_-5_000.txt");
    EXPECT_EQ(NextNumberedName("dir.v2\\file"), "dir.v2\\file_000");
    // The trail byte 5F of ダ is no underscore.
    EXPECT_EQ(NextNumberedName("x" KANA_DA "5.txt"), "x" KANA_DA "5_000.txt");
}

TEST(SmallTexts, CommasControlsSeparatorsQuotes) {
    EXPECT_EQ(RemoveCommas("1,234,567"), "1234567");
    EXPECT_EQ(ControlsToSpaces("a\tb\r\nc"), "a b  c");
    EXPECT_EQ(EnsureTrailingSeparator("C:\\dir", false), "C:\\dir\\");
    EXPECT_EQ(EnsureTrailingSeparator("C:\\dir\\", false), "C:\\dir\\");
    EXPECT_EQ(EnsureTrailingSeparator("C:\\" HYO, false), "C:\\" HYO "\\");
    EXPECT_EQ(EnsureTrailingSeparator("http://h/a", false), "http://h/a/");
    EXPECT_EQ(EnsureTrailingSeparator("http://h/a/", false), "http://h/a/");
    EXPECT_EQ(EnsureTrailingSeparator("", false), "/");
    EXPECT_EQ(EnsureTrailingSeparator("", true), "");
    EXPECT_EQ(UnquoteText("\"a\"\"b\"c", '"'), "a\"b");
    EXPECT_EQ(UnquoteText("abc", '"'), "abc");
    EXPECT_EQ(UnquoteText("'open", '\''), "open");
    EXPECT_EQ(UnquoteText("\\" HYO "\\rest", '\\'), HYO);
}

TEST(MakeTempFileName, MakesAnEmptyFileInTheTemporaryFolder) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    AnsiString a = MakeTempFileName("nbt"), b = MakeTempFileName("nbt");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(std::string(temp) + "nbt"));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(a.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    DeleteFileA(a.c_str());
    DeleteFileA(b.c_str());
}

TEST(WinSockErrorName, NamedCodes) {
    EXPECT_EQ(WinSockErrorName(10035), "WSAEWOULDBLOCK");
    EXPECT_EQ(WinSockErrorName(10060), "WSAETIMEDOUT");
    EXPECT_EQ(WinSockErrorName(10061), "WSAECONNREFUSED");
    EXPECT_EQ(WinSockErrorName(11001), "WSAHOST_NOT_FOUND");
    EXPECT_EQ(WinSockErrorName(10004), "WSAEINTR");
    EXPECT_EQ(WinSockErrorName(10101), "WSAEDISCON");
    EXPECT_EQ(WinSockErrorName(11004), "WSANO_DATA");
    EXPECT_EQ(WinSockErrorName(12345), "UNKNOWN ERROR");
    EXPECT_EQ(WinSockErrorName(0), "UNKNOWN ERROR");
    // 10004, 10009, 10013, 10014, 10022, 10024, 10035..10071, 10091..10093, 10101, 11001..11004.
    int named = 0;
    for (int code = 10000; code <= 11010; ++code) named += WinSockErrorName(code) != "UNKNOWN ERROR";
    EXPECT_EQ(named, 6 + 37 + 3 + 1 + 4);
}

class NetAddress : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { WSACleanup(); }
};

TEST_F(NetAddress, DottedFormsAndNames) {
    EXPECT_EQ(AddressToText(htonl(0x7F000001)), "127.0.0.1");
    EXPECT_EQ(AddressToText(htonl(0xC0A80102)), "192.168.1.2");
    EXPECT_EQ(HostToAddress("192.168.1.2"), htonl(0xC0A80102));
    EXPECT_EQ(HostToAddress(""), INADDR_NONE);
    EXPECT_EQ(HostToAddress("localhost"), htonl(0x7F000001));
    EXPECT_NE(LocalHostAddress(), INADDR_NONE);
}

TEST_F(NetAddress, LocalAddressOfABoundSocket) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(s, INVALID_SOCKET);
    EXPECT_EQ(LocalSocketAddress(s), "0.0.0.0");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(0x7F000001);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
    EXPECT_EQ(LocalSocketAddress(s), "127.0.0.1");
    closesocket(s);
}
