// String lists: editing and index errors, objects, text and comma text round
// trips with Japanese lines, name=value lines, sorting and duplicates, files,
// the shared operations over another kind of storage, and the change
// notification.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/exceptions.h"
#include "rtl/stringlist.h"

namespace {

std::vector<std::string> linesOf(const TStrings& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i).str());
    return lines;
}

using Lines = std::vector<std::string>;

AnsiString tempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return AnsiString(folder) + "nimbora_stringlist_" + name;
}

std::string readBytes(const AnsiString& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return bytes;
}

void writeBytes(const AnsiString& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// "表示" (95 5C 8E A6: a trail byte that is a back-slash) and "ソフト".
const AnsiString kHyouji = wideToAnsi(L"\u8868\u793a");
const AnsiString kSofuto = wideToAnsi(L"\u30bd\u30d5\u30c8");

// Lines kept in a plain vector, without objects: the shared operations of
// TStrings must work over any storage.
class VectorStrings : public TStrings {
public:
    int Count() const override { return static_cast<int>(lines.size()); }
    AnsiString Get(int index) const override {
        checkIndex(index, Count());
        return lines[static_cast<size_t>(index)];
    }
    void Insert(int index, const AnsiString& text) override {
        checkIndex(index, Count() + 1);
        lines.insert(lines.begin() + index, text);
    }
    void Delete(int index) override {
        checkIndex(index, Count());
        lines.erase(lines.begin() + index);
    }
    void Clear() override { lines.clear(); }
    std::vector<AnsiString> lines;
    std::vector<bool> updates;

protected:
    void SetUpdateState(bool updating) override { updates.push_back(updating); }
};

}  // namespace

TEST(StringList, EditingAndIndexErrors) {
    TStringList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("c"), 1);
    list.Insert(1, "b");
    list.Insert(3, "d");
    EXPECT_EQ(linesOf(list), (Lines{"a", "b", "c", "d"}));
    list.SetStrings(0, "A");
    list.Delete(2);
    EXPECT_EQ(linesOf(list), (Lines{"A", "b", "d"}));
    try {
        list.Get(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.message(), "List index out of bounds (3)");
    }
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Insert(4, "x"), EListError);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.SetStrings(5, "x"), EListError);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.Delete(0), EListError);
}

TEST(StringList, ObjectsTravelWithTheirLines) {
    int one = 1, two = 2, three = 3;
    TStringList list;
    list.AddObject("one", &one);
    list.AddObject("two", &two);
    list.InsertObject(0, "three", &three);
    EXPECT_EQ(list.Objects(0), &three);
    EXPECT_EQ(list.IndexOfObject(&two), 2);
    list.Exchange(0, 2);
    EXPECT_EQ(linesOf(list), (Lines{"two", "one", "three"}));
    EXPECT_EQ(list.Objects(0), &two);
    list.Move(0, 2);
    EXPECT_EQ(linesOf(list), (Lines{"one", "three", "two"}));
    EXPECT_EQ(list.Objects(2), &two);
    list.SetObjects(1, nullptr);
    EXPECT_EQ(list.IndexOfObject(&three), -1);
    list.SetStrings(0, "uno");
    EXPECT_EQ(list.Objects(0), &one);
}

TEST(StringList, TextSplitsAtEveryLineBreak) {
    TStringList list;
    list.SetText("a\nb\rc\r\n\r\nd");
    EXPECT_EQ(linesOf(list), (Lines{"a", "b", "c", "", "d"}));
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n\r\nd\r\n");
    list.SetText("a\r\n");
    EXPECT_EQ(linesOf(list), (Lines{"a"}));
    list.SetText("a\r\r\nb");
    EXPECT_EQ(linesOf(list), (Lines{"a", "", "b"}));
    list.SetText("\r\n");
    EXPECT_EQ(linesOf(list), (Lines{""}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringList, JapaneseTextRoundTrips) {
    TStringList list;
    list.Add(kHyouji);
    list.Add(kSofuto + " " + kHyouji);
    AnsiString text = list.Text();
    EXPECT_EQ(text, kHyouji + "\r\n" + kSofuto + " " + kHyouji + "\r\n");
    TStringList back;
    back.SetText(text);
    EXPECT_EQ(linesOf(back), linesOf(list));
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList list;
    for (const AnsiString& line : {AnsiString("a"), AnsiString("b c"), AnsiString("d,e"), AnsiString("f\"g"),
                                   AnsiString(""), kHyouji, AnsiString("tab\there")}) {
        list.Add(line);
    }
    AnsiString comma = list.CommaText();
    EXPECT_EQ(comma, "a,\"b c\",\"d,e\",\"f\"\"g\",\"\"," + kHyouji + ",\"tab\there\"");
    TStringList back;
    back.SetCommaText(comma);
    EXPECT_EQ(linesOf(back), linesOf(list));

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");
    back.SetCommaText(single.CommaText());
    EXPECT_EQ(linesOf(back), (Lines{""}));
}

TEST(StringList, CommaTextReading) {
    TStringList list;
    list.SetCommaText("a b,c");
    EXPECT_EQ(linesOf(list), (Lines{"a", "b", "c"}));
    list.SetCommaText("  \"x y\" , z ");
    EXPECT_EQ(linesOf(list), (Lines{"x y", "z"}));
    list.SetCommaText("a,,b");
    EXPECT_EQ(linesOf(list), (Lines{"a", "", "b"}));
    list.SetCommaText("a,");
    EXPECT_EQ(linesOf(list), (Lines{"a", ""}));
    list.SetCommaText("\"ab\"cd,\"unterminated");
    EXPECT_EQ(linesOf(list), (Lines{"abcd", "unterminated"}));
    list.SetCommaText("   ");
    EXPECT_EQ(list.Count(), 0);
    list.SetCommaText(kSofuto + "," + kHyouji);
    EXPECT_EQ(linesOf(list), (Lines{kSofuto.str(), kHyouji.str()}));
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText("a=1\r\nB=2\r\nc\r\nd==x");
    EXPECT_EQ(list.Names(0), "a");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Names(3), "d");
    EXPECT_EQ(list.Values("b"), "2");  // names compare without case
    EXPECT_EQ(list.Values("d"), "=x");
    EXPECT_EQ(list.Values("c"), "");
    EXPECT_EQ(list.ValueFromIndex(1), "2");
    EXPECT_EQ(list.IndexOfName("B"), 1);
    EXPECT_EQ(list.IndexOfName("zz"), -1);
    list.SetValues("c", "3");
    EXPECT_EQ(list.Strings(4), "c=3");
    list.SetValues("a", "9");
    EXPECT_EQ(list.Strings(0), "a=9");
    list.SetValues("a", "");
    EXPECT_EQ(linesOf(list), (Lines{"B=2", "c", "d==x", "c=3"}));
    list.SetValues("nothing", "");
    EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, SortedInsertAndDuplicates) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("c"), 2);
    EXPECT_EQ(linesOf(list), (Lines{"a", "b", "c"}));
    int index = -1;
    EXPECT_TRUE(list.Find("B", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("bb", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.IndexOf("C"), 2);

    int object = 7;
    EXPECT_EQ(list.AddObject("B", &object), 1);  // ignored: the existing line stays
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(1), "b");
    EXPECT_EQ(list.Objects(1), nullptr);

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("a"), EListError);
    list.SetDuplicates(dupAccept);
    list.Add("A");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf("a"), 0);

    EXPECT_THROW(list.Insert(0, "x"), EListError);
    EXPECT_THROW(list.SetStrings(0, "x"), EListError);
    EXPECT_THROW(list.Exchange(0, 1), EListError);
    EXPECT_THROW(list.Move(0, 1), EListError);
    EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, CaseSensitivity) {
    TStringList list;
    list.SetSorted(true);
    list.SetCaseSensitive(true);
    list.Add("b");
    list.Add("B");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf("b") + list.IndexOf("B"), 1);
    EXPECT_EQ(list.IndexOfName("x"), -1);
    TStringList plainList;
    plainList.Add("Hello");
    EXPECT_EQ(plainList.IndexOf("hello"), 0);
    plainList.SetCaseSensitive(true);
    EXPECT_EQ(plainList.IndexOf("hello"), -1);
}

TEST(StringList, SortingFollowsTheLocale) {
    TStringList list;
    // か, い, あ: the kana order is あ, い, か.
    AnsiString ka = wideToAnsi(L"\u304b"), i = wideToAnsi(L"\u3044"), a = wideToAnsi(L"\u3042");
    list.Add(ka);
    list.Add(i);
    list.Add("zeta");
    list.Add("Alpha");
    list.Add(a);
    list.Add("beta");
    list.SetSorted(true);
    Lines sorted = linesOf(list);
    EXPECT_EQ(Lines(sorted.begin(), sorted.begin() + 3), (Lines{"Alpha", "beta", "zeta"}));
    auto position = [&](const AnsiString& s) { return list.IndexOf(s.view()); };
    EXPECT_LT(position(a), position(i));
    EXPECT_LT(position(i), position(ka));
    list.Add(wideToAnsi(L"\u3046"));  // う goes between い and か
    EXPECT_EQ(list.IndexOf(wideToAnsi(L"\u3046").view()), position(i) + 1);
}

TEST(StringList, SortKeepsEqualLinesInOrder) {
    int first = 1, second = 2;
    TStringList list;
    list.AddObject("x", &first);
    list.Add("a");
    list.AddObject("X", &second);
    list.Sort();
    EXPECT_EQ(linesOf(list), (Lines{"a", "x", "X"}));
    EXPECT_EQ(list.Objects(1), &first);
    EXPECT_FALSE(list.Sorted());
}

TEST(StringList, FilesHoldTheBytes) {
    AnsiString path = tempPath("save.txt");
    TStringList list;
    list.Add(kHyouji);
    list.Add("b");
    list.SaveToFile(path);
    EXPECT_EQ(readBytes(path), (kHyouji + "\r\nb\r\n").str());
    TStringList back;
    back.Add("old");
    back.LoadFromFile(path);
    EXPECT_EQ(linesOf(back), linesOf(list));

    writeBytes(path, "one\ntwo\n\nthree");
    back.LoadFromFile(path);
    EXPECT_EQ(linesOf(back), (Lines{"one", "two", "", "three"}));
    writeBytes(path, "");
    back.LoadFromFile(path);
    EXPECT_EQ(back.Count(), 0);
    DeleteFileA(path.c_str());

    back.Add("kept");
    EXPECT_THROW(back.LoadFromFile(tempPath("missing.txt")), EFOpenError);
    EXPECT_EQ(linesOf(back), (Lines{"kept"}));
    EXPECT_THROW(back.SaveToFile(tempPath("no_such_folder\\x.txt")), EFCreateError);
}

TEST(StringList, AssignAndAddStrings) {
    int object = 5;
    TStringList source;
    source.AddObject("a", &object);
    source.Add("b");
    TStringList target;
    target.Add("old");
    target.Assign(source);
    EXPECT_EQ(linesOf(target), (Lines{"a", "b"}));
    EXPECT_EQ(target.Objects(0), &object);
    target.Assign(target);
    EXPECT_EQ(target.Count(), 2);
    target.AddStrings(target);
    EXPECT_EQ(linesOf(target), (Lines{"a", "b", "a", "b"}));
}

// Each operation made of several storage calls is one update bracket.
TEST(Strings, SharedOperationsOverOtherStorage) {
    VectorStrings lines;
    lines.SetText("one\r\ntwo\r\nthree");
    lines.SetStrings(1, "TWO");
    lines.Exchange(0, 2);
    EXPECT_EQ(linesOf(lines), (Lines{"three", "TWO", "one"}));
    lines.Move(2, 0);
    EXPECT_EQ(linesOf(lines), (Lines{"one", "three", "TWO"}));
    EXPECT_EQ(lines.updates, (std::vector<bool>{true, false, true, false, true, false, true, false}));
    EXPECT_EQ(lines.IndexOf("two"), 2);
    EXPECT_EQ(lines.Objects(0), nullptr);
    EXPECT_THROW(lines.Objects(3), EListError);
    lines.updates.clear();
    lines.BeginUpdate();
    lines.BeginUpdate();
    lines.EndUpdate();
    EXPECT_EQ(lines.UpdateCount(), 1);
    lines.EndUpdate();
    EXPECT_EQ(lines.updates, (std::vector<bool>{true, false}));
    EXPECT_EQ(lines.CommaText(), "one,three,TWO");
}

// OnChange follows every change once (a bracket's at its end), and nothing
// that changes nothing.
TEST(StringList, OnChangeOncePerChange) {
    int object = 1;
    const struct {
        const char* what;
        void (*change)(TStringList&, void*);
        int changes;
        Lines after;
    } cases[] = {
        {"add", [](TStringList& l, void*) { l.Add("d"); }, 1, {"b", "a", "c", "d"}},
        {"insert", [](TStringList& l, void*) { l.Insert(0, "d"); }, 1, {"d", "b", "a", "c"}},
        {"put", [](TStringList& l, void*) { l.SetStrings(1, "x"); }, 1, {"b", "x", "c"}},
        {"object", [](TStringList& l, void* o) { l.SetObjects(1, o); }, 1, {"b", "a", "c"}},
        {"add object", [](TStringList& l, void* o) { l.AddObject("d", o); }, 1, {"b", "a", "c", "d"}},
        {"delete", [](TStringList& l, void*) { l.Delete(0); }, 1, {"a", "c"}},
        {"clear", [](TStringList& l, void*) { l.Clear(); }, 1, {}},
        {"clear twice", [](TStringList& l, void*) { l.Clear(), l.Clear(); }, 1, {}},
        {"exchange", [](TStringList& l, void*) { l.Exchange(0, 2); }, 1, {"c", "a", "b"}},
        {"exchange itself", [](TStringList& l, void*) { l.Exchange(1, 1); }, 0, {"b", "a", "c"}},
        {"move", [](TStringList& l, void*) { l.Move(0, 2); }, 1, {"a", "c", "b"}},
        {"sort", [](TStringList& l, void*) { l.SetSorted(true); }, 1, {"a", "b", "c"}},
        {"duplicate ignored", [](TStringList& l, void*) { l.SetSorted(true), l.Add("b"); }, 1, {"a", "b", "c"}},
        {"text", [](TStringList& l, void*) { l.SetText("x\ny"); }, 1, {"x", "y"}},
        {"comma text", [](TStringList& l, void*) { l.SetCommaText("x,y"); }, 1, {"x", "y"}},
        {"bracket", [](TStringList& l, void*) {
             l.BeginUpdate();
             l.Add("d"), l.Delete(0);
             l.EndUpdate();
         }, 1, {"a", "c", "d"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCommaText("b,a,c");
        int changes = 0;
        struct Counter {
            int* count;
            void changed(TStrings*) { ++*count; }
        } counter{&changes};
        list.OnChange = TStringsEvent::bind<&Counter::changed>(&counter);
        c.change(list, &object);
        EXPECT_EQ(changes, c.changes) << c.what;
        EXPECT_EQ(linesOf(list), c.after) << c.what;
    }
}
