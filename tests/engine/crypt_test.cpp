// TCrypt3: traditional crypt(3) hashes (the values any Unix crypt(3) gives),
// the key's 8-character, 7-bit limit, salt handling, and reuse of one object.
#include <gtest/gtest.h>

#include "engine/support/crypt.h"

TEST(Crypt, KnownHashes) {
    TCrypt3 crypt;
    EXPECT_EQ(crypt.Crypt("password", "ab"), "abJnggxhB/yWI");
    EXPECT_EQ(crypt.Crypt("", ".."), "..X8NBuQ4l6uQ");
    EXPECT_EQ(crypt.Crypt("test", "aa"), "aaqPiZY5xR5l.");
    EXPECT_EQ(crypt.Crypt("password", "zz"), "zzXUHfURnGg8I");
    EXPECT_EQ(crypt.Crypt("Nimbora!", "./"), "./axBRxhtlUtE");
    EXPECT_EQ(crypt.Crypt("secret", "Az"), "Azu52ZF9A/GXU");
    EXPECT_EQ(crypt.Crypt("12345678", "9x"), "9x9iS7LwE.DUc");
}

TEST(Crypt, OnlySevenBitsOfTheFirstEightCharactersCount) {
    TCrypt3 crypt;
    EXPECT_EQ(crypt.Crypt("password1", "ab"), "abJnggxhB/yWI");
    EXPECT_EQ(crypt.Crypt("passwordXYZ", "ab"), "abJnggxhB/yWI");
    EXPECT_EQ(crypt.Crypt("p\xE1ssword", "ab"), "abJnggxhB/yWI");  // 0xE1 is 'a' with the top bit
    EXPECT_NE(crypt.Crypt("passwore", "ab"), "abJnggxhB/yWI");
}

TEST(Crypt, SaltTakesTwoCharactersOfTheAlphabet) {
    TCrypt3 crypt;
    EXPECT_EQ(crypt.Crypt("password", "abcdef"), "abJnggxhB/yWI");
    // Outside the alphabet a salt character has the bits of "." but is copied as it is.
    EXPECT_EQ(crypt.Crypt("password", "!b"), "!b7PchEsXm/cM");
    EXPECT_EQ(crypt.Crypt("password", ".b"), ".b7PchEsXm/cM");
    // One character: the second counts as 0 and the first is repeated.
    EXPECT_EQ(crypt.Crypt("password", "a"), "aaAv8awQ0AsR6");
    EXPECT_EQ(crypt.Crypt("password", "a."), "a.Av8awQ0AsR6");
    EXPECT_EQ(crypt.Crypt("password", ""), "");
}

TEST(Crypt, LastCharacterCarriesFourBits) {
    TCrypt3 crypt;
    for (const char* key : {"a", "bb", "ccc", "dddd", "password"}) {
        AnsiString hash = crypt.Crypt(key, "Qx");
        ASSERT_EQ(hash.length(), 13u);
        EXPECT_NE(std::string_view(".26AEIMQUYcgkosw").find(hash[12]), std::string_view::npos) << hash.c_str();
    }
}

TEST(Crypt, ChangingSaltsOnOneObject) {
    TCrypt3 crypt;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(crypt.Crypt("password", "ab"), "abJnggxhB/yWI");
        EXPECT_EQ(crypt.Crypt("password", "zz"), "zzXUHfURnGg8I");
        EXPECT_EQ(crypt.Crypt("test", "aa"), "aaqPiZY5xR5l.");
    }
}
