// The XML layer: code page 932 <-> UTF-8 with the private-use byte carriers,
// the "Shift-JIS" encoding handler with characters split across chunks, and
// the element tree (reading, access, edits, writing).
#include <gtest/gtest.h>
#include <libxml/encoding.h>

#include <string>

#include "host/widget/xmlcodec.h"
#include "host/widget/xmldoc.h"
#include "rtl/codepage.h"

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n";

// "日本" and "ｱ" (half-width katakana) in both encodings.
const char kNihonAnsi[] = "\x93\xfa\x96\x7b";
const char kNihonUtf8[] = "\xe6\x97\xa5\xe6\x9c\xac";
const char kKanaAnsi[] = "\xb1";
const char kKanaUtf8[] = "\xef\xbd\xb1";

xmlCharEncodingHandler* shiftJisHandler(const char* name) {
    TXmlDocument loadsTheLibrary("r");
    return xmlFindCharEncodingHandler(name);
}

}  // namespace

// ==== Codec ====

TEST(XmlCodec, ConvertsJapaneseBothWays) {
    EXPECT_EQ(ansiToUtf8(kNihonAnsi), kNihonUtf8);
    EXPECT_EQ(ansiToUtf8(kKanaAnsi), kKanaUtf8);
    EXPECT_EQ(utf8ToAnsi(kNihonUtf8), kNihonAnsi);
    EXPECT_EQ(utf8ToAnsi(kKanaUtf8), kKanaAnsi);
    // "表" ends in 0x5C; it is one character, not a back-slash.
    EXPECT_EQ(ansiToUtf8("\x95\x5c"), "\xe8\xa1\xa8");
}

TEST(XmlCodec, CarriesBytesThatCannotStandForThemselves) {
    // A lone lead byte, a lead byte before a quote, undefined bytes, controls.
    EXPECT_EQ(ansiToUtf8("a\x81"), "a\xef\x9e\x81");
    EXPECT_EQ(ansiToUtf8("\x81\""), "\xef\x9e\x81\"");
    EXPECT_EQ(ansiToUtf8("\xa0\xfd"), "\xef\x9e\xa0\xef\x9f\xbd");
    EXPECT_EQ(ansiToUtf8(std::string_view("\x01\0", 2)), "\xef\x9c\x81\xef\x9c\x80");
    EXPECT_EQ(ansiToUtf8("\t\r\n"), "\t\r\n");
    EXPECT_EQ(utf8ToAnsi("\xef\x9e\x81\xef\x9c\x80x"), AnsiString("\x81\0x", 3));
}

TEST(XmlCodec, EverySingleByteAndByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToAnsi(ansiToUtf8(one)), one) << "byte " << b;
    }
}

TEST(XmlCodec, EveryPairRoundTripsOrKeepsItsCharacter) {
    // Pairs come back as they were, except the code page's duplicate forms of
    // one character, which come back in the platform's preferred form.
    int normalised = 0;
    for (int pair = 0x8100; pair < 0x10000; ++pair) {
        const char bytes[2] = {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
        std::string_view original(bytes, 2);
        AnsiString back = utf8ToAnsi(ansiToUtf8(original));
        if (back == original) continue;
        ++normalised;
        EXPECT_EQ(ansiToWide(back.view()), ansiToWide(original)) << std::hex << pair;
    }
    EXPECT_GT(normalised, 0);
    EXPECT_LT(normalised, 1000);
}

TEST(XmlCodec, CharactersOutsideTheCodePageReadAsQuestionMarks) {
    EXPECT_EQ(utf8ToAnsi("caf\xc3\xa9 \xf0\x9f\x98\x80!"), "caf? ?!");
    EXPECT_TRUE(isUtf8(kNihonUtf8));
    EXPECT_FALSE(isUtf8(kNihonAnsi));
    EXPECT_FALSE(isUtf8("\xe6\x97"));  // cut off
}

// ==== Encoding handler ====

TEST(XmlEncoding, EverySpellingFindsTheHandler) {
    for (const char* name : {"Shift-JIS", "Shift_JIS", "shift_jis", "SJIS", "CP932", "Windows-31J"}) {
        xmlCharEncodingHandler* handler = shiftJisHandler(name);
        ASSERT_NE(handler, nullptr) << name;
        EXPECT_NE(handler->input, nullptr);
        EXPECT_NE(handler->output, nullptr);
    }
}

TEST(XmlEncoding, ALeadByteAtTheEndOfAChunkWaitsForItsTrailByte) {
    xmlCharEncodingHandler* handler = shiftJisHandler("Shift-JIS");
    unsigned char out[32];
    const auto* in = reinterpret_cast<const unsigned char*>(kNihonAnsi);
    int outlen = sizeof out, inlen = 3;  // "日" and the lead byte of "本"
    EXPECT_EQ(handler->input(out, &outlen, in, &inlen), 3);
    EXPECT_EQ(inlen, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), outlen), "\xe6\x97\xa5");
    outlen = sizeof out;
    inlen = 2;
    EXPECT_EQ(handler->input(out, &outlen, in + 2, &inlen), 3);
    EXPECT_EQ(inlen, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), outlen), "\xe6\x9c\xac");
}

TEST(XmlEncoding, OutputStopsAtCutOffAndUnwritableCharacters) {
    xmlCharEncodingHandler* handler = shiftJisHandler("SJIS");
    unsigned char out[32];
    const auto* in = reinterpret_cast<const unsigned char*>(kNihonUtf8);
    int outlen = sizeof out, inlen = 5;  // "日" and two bytes of "本"
    EXPECT_EQ(handler->output(out, &outlen, in, &inlen), 2);
    EXPECT_EQ(inlen, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), outlen), "\x93\xfa");
    // A carried byte cannot be written as Shift-JIS: the writer makes it a reference.
    const unsigned char carried[] = "a\xef\x9e\x81";
    outlen = sizeof out;
    inlen = 4;
    EXPECT_EQ(handler->output(out, &outlen, carried, &inlen), -2);
    EXPECT_EQ(inlen, 1);
    EXPECT_EQ(outlen, 1);
}

TEST(XmlEncoding, LongTextThatGrowsInUtf8IsReadWhole) {
    // Half-width katakana triple in size, more than the reader makes room for,
    // so the converter stops when its output is full and goes on later.
    AnsiString text;
    for (int i = 0; i < 30000; ++i) text += i % 7 ? "\xb1\xb2\xb3" : "\x8f\x74";
    for (int padding = 0; padding < 4; ++padding) {
        AnsiString xml = AnsiString("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>") + AnsiString(padding, ' ') +
                         "<r a=\"" + text + "\">" + text + "</r>";
        TXmlDocument document = TXmlDocument::fromString(xml);
        EXPECT_TRUE(document.root().attribute("a") == text) << padding;
        EXPECT_TRUE(document.root().value() == text) << padding;
    }
}

// ==== Reading ====

TEST(XmlDocument, ReadsNamesValuesAttributesAndChildren) {
    TXmlDocument document = TXmlDocument::fromString(
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
        "<root kind=\"\x93\xfa\x96\x7b\" empty=\"\">\n"
        "  <!-- note -->\n"
        "  <item>one</item>\n"
        "  <item>a<!-- skipped -->b<![CDATA[<c>]]>&amp;d</item>\n"
        "  <other x:y=\"1\" xmlns:x=\"urn:x\"/>\n"
        "</root>\n");
    TXmlElement root = document.root();
    EXPECT_EQ(root.name(), "root");
    EXPECT_EQ(root.attributeCount(), 2);
    EXPECT_EQ(root.attributeName(0), "kind");
    EXPECT_EQ(root.attributeValue(0), kNihonAnsi);
    EXPECT_EQ(root.attribute("kind"), kNihonAnsi);
    EXPECT_TRUE(root.hasAttribute("empty"));
    EXPECT_EQ(root.attribute("empty", "fallback"), "");
    EXPECT_FALSE(root.hasAttribute("Kind"));
    EXPECT_EQ(root.attribute("missing", "fallback"), "fallback");
    EXPECT_THROW(root.attributeName(2), EXmlError);

    ASSERT_EQ(root.childCount(), 3);
    EXPECT_EQ(root.child(0).value(), "one");
    EXPECT_EQ(root.child(1).value(), "ab<c>&d");
    EXPECT_EQ(root.child(2).attributeName(0), "x:y");
    EXPECT_FALSE(root.child(3));
    EXPECT_FALSE(root.child(-1));
    EXPECT_EQ(root.child("item"), root.child(0));
    EXPECT_FALSE(root.child("Item"));
    EXPECT_EQ(root.child(1).parent(), root);
    EXPECT_FALSE(root.parent());
    EXPECT_EQ(root.child(0).nextSibling(), root.child(1));
    EXPECT_EQ(document.encoding(), "Shift_JIS");
}

TEST(XmlDocument, EntityReferencesGiveTheirText) {
    TXmlDocument document = TXmlDocument::fromString(
        "<!DOCTYPE r [<!ENTITY who \"world\">]><r>hello &who;<!-- not text -->!</r>");
    EXPECT_EQ(document.root().value(), "hello world!");
}

TEST(XmlDocument, TextWithoutDeclarationIsUtf8OrElseCodePage932) {
    EXPECT_EQ(TXmlDocument::fromString(AnsiString("<r>") + kNihonUtf8 + "</r>").root().value(), kNihonAnsi);
    EXPECT_EQ(TXmlDocument::fromString(AnsiString("<r>") + kNihonAnsi + "</r>").root().value(), kNihonAnsi);
    // A declaration that claims UTF-8 for code page 932 text is not believed.
    AnsiString claimsUtf8 = AnsiString("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>") + kNihonAnsi + "</r>";
    EXPECT_EQ(TXmlDocument::fromString(claimsUtf8).root().value(), kNihonAnsi);
}

TEST(XmlDocument, MalformedTextNamesItsLine) {
    try {
        TXmlDocument::fromString("<r>\n<a>\n</r>");
        FAIL() << "no exception";
    } catch (const EXmlError& error) {
        EXPECT_TRUE(error.message().startsWith("XML text(3): ")) << error.message().c_str();
    }
    EXPECT_THROW(TXmlDocument::fromString(""), EXmlError);
    EXPECT_THROW(TXmlDocument::fromString("<a/><b/>"), EXmlError);
    // An unknown encoding is reported, not guessed.
    EXPECT_THROW(TXmlDocument::fromString("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><r>\xc6\xfc</r>"), EXmlError);
}

// The reader halts at the first error, and the function that met it reads
// no further from freed memory (a megabyte of text, whose memory goes back to
// the system when freed).
TEST(XmlDocument, ReadingHaltsAtTheFirstError) {
    try {
        TXmlDocument::fromString(AnsiString("<a>" + std::string(1 << 20, 'x') + "]]></a>"));
        FAIL() << "no exception";
    } catch (const EXmlError& error) {
        EXPECT_EQ(error.message(), "XML text(1): Sequence ']]>' not allowed in content");
    }
}

TEST(XmlDocument, AMissingFileIsReported) {
    try {
        TXmlDocument::fromFile("Z:\\no\\such\\folder\\file.xml");
        FAIL() << "no exception";
    } catch (const EXmlError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot open \"Z:\\no\\such\\folder\\file.xml\": "));
    }
}

// ==== Editing and writing ====

TEST(XmlDocument, ANewDocumentIsWrittenAsShiftJis) {
    TXmlDocument document("configuration");
    EXPECT_EQ(document.encoding(), "Shift-JIS");
    TXmlElement entry = document.root().appendChild("add");
    entry.setAttribute("key", kNihonAnsi);
    entry.setAttribute("value", "1");
    document.root().appendChild("note", "a<b");
    EXPECT_EQ(document.toString(), AnsiString(kDeclaration) +
                                       "<configuration>\r\n"
                                       "  <add key=\"\x93\xfa\x96\x7b\" value=\"1\"/>\r\n"
                                       "  <note>a&lt;b</note>\r\n"
                                       "</configuration>\r\n");
}

TEST(XmlDocument, EditsKeepAttributeOrderAndRemoveWhatTheyName) {
    TXmlDocument document = TXmlDocument::fromString("<r><a k=\"1\" v=\"2\"/><b>text<i/>more</b></r>");
    TXmlElement a = document.root().child("a");
    a.setAttribute("k", "changed");
    a.setAttribute("new", "3");
    EXPECT_EQ(a.attributeName(0), "k");
    EXPECT_EQ(a.attributeValue(0), "changed");
    EXPECT_EQ(a.attributeName(2), "new");
    EXPECT_TRUE(a.removeAttribute("v"));
    EXPECT_FALSE(a.removeAttribute("v"));
    EXPECT_EQ(a.attributeCount(), 2);

    TXmlElement b = document.root().child("b");
    b.setValue("replaced");
    EXPECT_EQ(b.value(), "replaced");
    EXPECT_EQ(b.childCount(), 1);
    a.remove();
    EXPECT_FALSE(a);
    EXPECT_EQ(document.root().childCount(), 1);
    EXPECT_EQ(document.root().child(0).name(), "b");
}

TEST(XmlDocument, ValuesWithLineBreaksTabsAndInvalidBytesComeBackExactly) {
    const AnsiString values[] = {"line1\r\nline2\n\ttab", AnsiString("\x81"), AnsiString("a\x81\"b"),
                                 AnsiString("\x01\x1f\xfd\xa0"), AnsiString("nul\0byte", 8), "\x95\x5c\\"};
    TXmlDocument document("r");
    for (const AnsiString& value : values) document.root().appendChild("v").setAttribute("a", value);
    AnsiString written = document.toString();
    EXPECT_NE(written.find("&#63361;"), std::string_view::npos);  // the lone lead byte 0x81
    EXPECT_EQ(written.find('\x01'), std::string_view::npos);
    TXmlDocument reread = TXmlDocument::fromString(written);
    int i = 0;
    for (TXmlElement v = reread.root().firstChild(); v; v = v.nextSibling(), ++i) {
        EXPECT_TRUE(v.attribute("a") == values[i]) << i;
    }
    EXPECT_EQ(i, 6);
}
