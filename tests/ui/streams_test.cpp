// The controls in form streams and OLE drops: the stored and default rules of
// real controls, a label sizing itself once read, the binary fixture of the script tests being what our
// writer makes of its text, the dropped-file lists of foreign blocks (offsets
// and terminators that lie, wide names), and the drop effects offered.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "rtl/codepage.h"
#include "rtl/filepath.h"
#include "rtl/filer.h"
#include "rtl/streams.h"
#include "ui/dragdrop.h"
#include "ui/edits.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace {

std::string fixture(const char* name) {
    TFileStream file(AnsiString("Z:") + std::getenv("NIMBORA_TEST_DATA") + "/../scripts/bridge_streams/" + name,
                     fmOpenRead);
    return ReadToEnd(file);
}

std::string textOf(TComponent* root) {
    TStringStream text;
    writeTextForm(text, WriteComponentTree(root));
    return text.DataString().str();
}

HGLOBAL block(std::string_view bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    return memory;
}

std::string dropFiles(uint32_t offset, bool wide, std::string_view names) {
    DROPFILES header{};
    header.pFiles = offset;
    header.fWide = wide;
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + std::string(names);
}

std::string wideBytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

}  // namespace

TEST(ControlStreams, OnlyWhatDiffersFromTheDefaultsIsWritten) {
    RegisterClasses({&TForm::classInfo, &TButton::classInfo, &TMemo::classInfo});
    TForm* form = new TForm(nullptr);
    auto* button = new TButton(form);
    button->SetName("Button1");
    button->SetParent(form);
    button->SetBounds(1, 2, 75, 25);
    auto* memo = new TMemo(nullptr);  // unowned, as scripts make them: written with the form
    memo->SetName("Memo1");
    memo->SetParent(form);
    memo->Lines()->SetText("a");
    memo->Font()->SetName("Arial");
    std::string text = textOf(form);
    for (const char* absent : {"Visible = True", "Enabled", "Text =", "ParentColor", "Color =", "Caption"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    for (const char* present : {"object Button1: TButton", "Left = 1", "TabOrder = 0", "object Memo1: TMemo",
                                "Lines.Strings = (\r\n      'a')", "Font.Name = 'Arial'", "ParentFont = False"})
        EXPECT_NE(text.find(present), std::string::npos) << present;
    TForm* copy = new TForm(nullptr);
    TStringStream input(text);
    ReadComponentTree(readTextForm(input), copy);
    EXPECT_EQ(textOf(copy), text);
    memo->Free();
    form->Free();
    copy->Free();
}

TEST(ControlStreams, TheBinaryFixtureIsOurWritersOwn) {
    TStringStream text(fixture("handmade.dfm")), binary;
    ObjectTextToBinary(text, binary);
    EXPECT_EQ(binary.Bytes(), fixture("handmade.bin"));
}

TEST(DropFiles, ForeignBlocksAreReadWithinTheirSize) {
    std::wstring japanese = ansiToWide(wideToAnsi(L"\u8868\u793a.txt").view());  // 表 is 0x8868: no zero byte
    struct Case {
        std::string bytes;
        const char* expected;  // the names joined by "|"
    } cases[] = {
        {dropFiles(sizeof(DROPFILES), false, std::string("a.txt\0b.txt\0\0", 13)), "a.txt|b.txt"},
        {dropFiles(sizeof(DROPFILES), true, wideBytes(std::wstring(L"C:\\x\0", 5)) + wideBytes(japanese) + std::string(4, '\0')),
         "C:\\x|\x95\x5c\x8e\xa6.txt"},
        {dropFiles(sizeof(DROPFILES) + 2, false, std::string("..a\0\0", 5)), "a"},   // the list's own offset
        {dropFiles(sizeof(DROPFILES), false, std::string("a\0cut-off", 9)), "a"},    // no terminator: cut
        {dropFiles(sizeof(DROPFILES), true, wideBytes(L"odd") + "\x01"), ""},          // half a character
        {dropFiles(0x7FFFFFFF, false, std::string("a\0\0", 3)), ""},                 // an offset past the end
        {std::string("short", 5), ""},                                                 // no header
    };
    for (const Case& c : cases) {
        HGLOBAL memory = block(c.bytes);
        TStringList list;
        list.Add("stale");
        ParseDropFiles(memory, list);
        std::string joined;
        for (int i = 0; i < list.Count(); ++i) joined += (i ? "|" : "") + list.Get(i).str();
        EXPECT_EQ(joined, c.expected);
        GlobalFree(memory);
    }
    HGLOBAL text = block(std::string("no zero byte", 12));
    EXPECT_EQ(ReadDropText(text), "no zero byte");
    GlobalFree(text);
}

TEST(DropFiles, EffectsNeverMove) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    AnsiString name = AnsiString(folder) + "nimbora_drop_" + wideToAnsi(L"\u8868") + ".txt";
    {
        TFileStream file(name, fmCreate);
    }
    TStringList files;
    files.Add(name);
    files.Add("missing.txt");
    files.Add("C:\\another\\folder.txt");
    TIntf<IDataObject> fileData = BuildFileDataObject("", files), text = MakeTextDataObject("t");
    ASSERT_TRUE(fileData);
    FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(fileData->GetData(&hdrop, &medium), S_OK);
    TStringList dropped;
    ParseDropFiles(medium.hGlobal, dropped);
    ReleaseStgMedium(&medium);
    ASSERT_EQ(dropped.Count(), 1);  // the existing file of the drag's folder only
    EXPECT_TRUE(sameFileName(dropped.Get(0), name));
    struct Case {
        IDataObject* data;
        DWORD allowed, expected;
    } cases[] = {
        {fileData.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {fileData.get(), DROPEFFECT_MOVE, DROPEFFECT_NONE},
        {fileData.get(), DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_COPY},
        {text.get(), DROPEFFECT_LINK, DROPEFFECT_LINK},
        {text.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {text.get(), DROPEFFECT_MOVE, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) EXPECT_EQ(TDragDropTarget::EffectFor(c.data, c.allowed), c.expected);
    EXPECT_FALSE(BuildFileDataObject("", TStringList()));
    DeleteFileA(name.c_str());
}

TEST(ControlStreams, ALabelTakesItsSizeOnceRead) {
    RegisterClasses({&TForm::classInfo, &TLabel::classInfo});
    TForm* form = new TForm(nullptr);
    TStringStream input("object F: TForm object Read: TLabel Caption = 'a caption of some length' end end");
    ReadComponentTree(readTextForm(input), form);
    auto* made = new TLabel(form);
    made->SetParent(form);
    made->SetCaption("a caption of some length");
    auto* read = static_cast<TLabel*>(form->FindComponent("Read"));
    ASSERT_NE(read, nullptr);
    EXPECT_GT(read->Width(), 30);
    EXPECT_EQ(read->Width(), made->Width());
    form->Free();
}
