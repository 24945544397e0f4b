// The HTML tag parser: tags and text, attribute quoting and case, the two
// decoded entities, joined valueless attributes and unterminated tags.
#include <gtest/gtest.h>

#include "net/htmlparser.h"

TEST(HtmlParser, SplitsTagsAndText) {
    THtmlParser parser("a<B>b</b><br>c<br/>d > e<p");
    ASSERT_EQ(parser.Count(), 3);
    EXPECT_EQ(parser.Items(0)->Name, "b");
    EXPECT_EQ(parser.Items(1)->Name, "/b");
    EXPECT_EQ(parser.Items(2)->Name, "br/");
    EXPECT_EQ(parser.Items(3), nullptr);
    EXPECT_EQ(parser.Items(-1), nullptr);
    EXPECT_EQ(parser.Text(), "ab\r\ncd > e");
    parser.Parse("<i>x");
    EXPECT_EQ(parser.Count(), 1);
    EXPECT_EQ(parser.Text(), "x");
}

TEST(HtmlTag, ReadsAttributes) {
    struct {
        const char* Tag;
        const char* Name;
        const char* Attribute;
        const char* Value;
    } cases[] = {
        {"<A HREF='x y' Target=_top>", "a", "href", "x y"},
        {"<A HREF='x y' Target=_top>", "a", "TARGET", "_top"},
        {"<img\talt=\"say &quot;hi&quot; &lt;3\"\r\nsrc=a.png>", "img", "alt", "say \"hi\" &lt;3"},
        {"<a href=\"?a=1&AMP;b=2\">", "a", "href", "?a=1&b=2"},
        {"<input checked name=x>", "input", "checked name", "x"},
        {"<td nowrap>", "td", "nowrap", ""},
        {"<p class=a class=b>", "p", "class", "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Tag);
        THtmlTag tag(c.Tag);
        EXPECT_EQ(tag.Name, c.Name);
        EXPECT_EQ(tag.GetAttribute(c.Attribute), c.Value);
    }
    THtmlTag tag("<td nowrap>");
    EXPECT_EQ(tag.GetAttributeNames(), "");
}
