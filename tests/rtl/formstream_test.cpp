// Form streams: components of every property kind written as text and as
// binary and read back into another root; hand-written texts; both formats'
// faults (cut short, lengths past the end, nesting, bad values, unknown
// classes) raising their errors; conversion both ways; collections and the
// memory, string and file streams beneath.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/collection.h"
#include "rtl/filer.h"
#include "rtl/stringlist.h"
#include "rtl/streams.h"

namespace {

// ==== Test classes ====

enum TShape : uint8_t { shCircle, shSquare, shStar };
const char* const shapeNames[] = {"shCircle", "shSquare", "shStar"};
const TEnumInfo ShapeInfo{"TShape", shapeNames, 3};
const TSetInfo ShapesInfo{"TShapes", &ShapeInfo, 1};
const TIntegerIdent colorNames[] = {{0xFF, "clRed"}, {-16777201, "clBtnFace"}};
const TIntegerIdents ColorIdents{colorNames, 2};

class TPen2 : public TPersistent {
    RTL_DECLARE_CLASS()
    int Width = 1;
    AnsiString Style;
};
const TPropInfo penProperties[] = {
    IntegerProperty<&TPen2::Width, &TPen2::Width>("Width", 1),
    StringProperty<&TPen2::Style, &TPen2::Style>("Style"),
};
const TClassInfo TPen2::classInfo = makeClassInfo("TPen2", &TPersistent::classInfo, penProperties);

class TBand : public TCollectionItem {
    RTL_DECLARE_CLASS()
    using TCollectionItem::TCollectionItem;
    int Size = 0;
    AnsiString Text;
};
const TPropInfo bandProperties[] = {
    IntegerProperty<&TBand::Size, &TBand::Size>("Size", 0),
    StringProperty<&TBand::Text, &TBand::Text>("Text"),
};
const TClassInfo TBand::classInfo =
    makeClassInfo("TBand", &TCollectionItem::classInfo, bandProperties, &collectionItemCreator<TBand>);

using TTestEvent = TEvent<void(TObject*)>;

// A component of every property kind that holds others of its kind.
class TWidget : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TWidget(TComponent* owner) : TComponent(owner) {}

    int Count = 0;
    int Color = -16777201;
    TShape Shape = shCircle;
    bool Active = true;
    uint8_t Shapes = 0;
    double Ratio = 0;
    AnsiString Caption;
    char Letter = 0;
    int64_t Big = 0;
    TComponent* Buddy = nullptr;
    TTestEvent OnPing;
    TPen2* Pen() const { return Pen_.get(); }
    TStrings* Lines() const { return Lines_.get(); }
    TCollection* Bands() const { return Bands_.get(); }
    void SetLines(TStrings* value) { Lines_->Assign(*value); }

    TWidget* Parent = nullptr;
    std::vector<TWidget*> Kids;
    TComponent* GetParentComponent() const override { return Parent; }
    void SetParentComponent(TComponent* parent) override {
        if (!parent || !parent->InheritsFrom(&TWidget::classInfo)) return;
        Parent = static_cast<TWidget*>(parent);
        Parent->Kids.push_back(this);
    }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
        TComponent::GetChildren(proc, root);
        for (TWidget* kid : Kids)
            if (kid->Owner() == root) proc(kid);
    }
    int loadedCalls = 0;
    void Loaded() override {
        TComponent::Loaded();
        ++loadedCalls;
    }

protected:
    ~TWidget() override {
        if (Parent) std::erase(Parent->Kids, this);
        for (TWidget* kid : Kids) kid->Parent = nullptr;
    }

private:
    std::unique_ptr<TPen2> Pen_ = std::make_unique<TPen2>();
    std::unique_ptr<TStringList> Lines_ = std::make_unique<TStringList>();
    std::unique_ptr<TCollection> Bands_ = std::make_unique<TCollection>(&TBand::classInfo);
};

bool captionStored(const TObject* o) { return static_cast<const TWidget*>(o)->Caption != "hidden"; }

const TPropInfo widgetProperties[] = {
    IntegerProperty<&TWidget::Count, &TWidget::Count>("Count"),
    IntegerProperty<&TWidget::Color, &TWidget::Color>("Color", -16777201, &ColorIdents),
    EnumProperty<&TWidget::Shape, &TWidget::Shape>("Shape", &ShapeInfo, shCircle),
    BoolProperty<&TWidget::Active, &TWidget::Active>("Active", 1),
    SetProperty<&TWidget::Shapes, &TWidget::Shapes>("Shapes", &ShapesInfo, 0),
    FloatProperty<&TWidget::Ratio, &TWidget::Ratio>("Ratio"),
    storedWhen(StringProperty<&TWidget::Caption, &TWidget::Caption>("Caption"), &captionStored),
    CharProperty<&TWidget::Letter, &TWidget::Letter>("Letter"),
    Int64Property<&TWidget::Big, &TWidget::Big>("Big"),
    ClassProperty<&TWidget::Buddy, &TWidget::Buddy>("Buddy", &TComponent::classInfo),
    ClassProperty<&TWidget::Pen>("Pen", &TPen2::classInfo),
    ClassProperty<&TWidget::Lines, &TWidget::SetLines>("Lines", &TStrings::classInfo),
    ClassProperty<&TWidget::Bands>("Bands", &TCollection::classInfo),
    MethodProperty<&TWidget::OnPing, &TWidget::OnPing>("OnPing", &NotifyEventType),
};
const TClassInfo TWidget::classInfo =
    makeClassInfo("TWidget", &TComponent::classInfo, widgetProperties, &componentCreator<TWidget>);

[[maybe_unused]] const bool registered = [] {
    RegisterClasses({&TWidget::classInfo});
    return true;
}();

struct Root {
    TWidget* widget = new TWidget(nullptr);
    ~Root() { widget->Free(); }
    TWidget* operator->() const { return widget; }
    TWidget* child(const char* name) const { return static_cast<TWidget*>(widget->FindComponent(name)); }
};

std::string textOf(TComponent* root) {
    TStringStream text;
    writeTextForm(text, WriteComponentTree(root));
    return text.DataString().str();
}

void loadText(TComponent* root, std::string_view text) {
    TStringStream input(text);
    ReadComponentTree(readTextForm(input), root);
}

const AnsiString kJapanese = wideToAnsi(L"\u8868\u793a\u30bd\u30d5\u30c8");  // a trail byte 0x5C among them

// A root with a child and a grandchild, every kind of property set.
void fill(TWidget* root) {
    root->SetName("Main");
    root->Count = 7;
    auto* panel = new TWidget(root);
    panel->SetName("Panel1");
    panel->SetParentComponent(root);
    panel->Color = 0xFF;
    panel->Shape = shStar;
    panel->Shapes = setOf(shCircle, shStar);
    panel->Active = false;
    panel->Ratio = 0.1;
    panel->Caption = kJapanese + "'q'\r\n";
    panel->Letter = 'x';
    panel->Big = INT64_C(1) << 40;
    panel->Pen()->Width = 3;
    panel->Pen()->Style = "dash";
    panel->Lines()->SetText("one\r\n\r\n" + kJapanese.str());
    static_cast<TBand*>(panel->Bands()->Add())->Size = 40;
    static_cast<TBand*>(panel->Bands()->Add())->Text = "b";
    auto* button = new TWidget(root);
    button->SetName("Button1");
    button->SetParentComponent(panel);
    button->Count = -70000;
    button->Buddy = panel;
    root->Buddy = root;
}

}  // namespace

// ==== Round trips ====

TEST(FormStream, TextWritesOnlyStoredNonDefaultValues) {
    Root root;
    fill(root.widget);
    root.child("Button1")->Caption = "hidden";
    const std::string expected =
        "object Main: TWidget\r\n"
        "  Count = 7\r\n"
        "  Buddy = Main\r\n"
        "  object Panel1: TWidget\r\n"
        "    Count = 0\r\n"
        "    Color = clRed\r\n"
        "    Shape = shStar\r\n"
        "    Active = False\r\n"
        "    Shapes = [shCircle, shStar]\r\n"
        "    Ratio = 0.1\r\n"
        "    Caption = '" + kJapanese.str() + "''q'''#13#10\r\n"
        "    Letter = 'x'\r\n"
        "    Big = 1099511627776\r\n"
        "    Pen.Width = 3\r\n"
        "    Pen.Style = 'dash'\r\n"
        "    Lines.Strings = (\r\n"
        "      'one'\r\n"
        "      ''\r\n"
        "      '" + kJapanese.str() + "')\r\n"
        "    Bands = <\r\n"
        "      item\r\n"
        "        Size = 40\r\n"
        "      end\r\n"
        "      item\r\n"
        "        Text = 'b'\r\n"
        "      end>\r\n"
        "    object Button1: TWidget\r\n"
        "      Count = -70000\r\n"
        "      Buddy = Panel1\r\n"
        "    end\r\n"
        "  end\r\n"
        "end\r\n";
    EXPECT_EQ(textOf(root.widget), expected);
}

TEST(FormStream, BothFormatsReadBackEveryKind) {
    Root source;
    fill(source.widget);
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        TMemoryStream stream;
        if (binary) WriteComponent(stream, source.widget);
        else writeTextForm(stream, WriteComponentTree(source.widget));
        stream.setPosition(0);
        Root copy;
        copy->SetName("Main");
        if (binary) ReadComponent(stream, copy.widget);
        else ReadComponentTree(readTextForm(stream), copy.widget);
        EXPECT_EQ(textOf(copy.widget), textOf(source.widget));
        TWidget* panel = copy.child("Panel1");
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->Parent, copy.widget);
        EXPECT_EQ(copy.child("Button1")->Parent, panel);
        EXPECT_EQ(copy.child("Button1")->Buddy, panel);
        EXPECT_EQ(copy->Buddy, copy.widget);
        EXPECT_EQ(panel->Caption, source.child("Panel1")->Caption);
        EXPECT_EQ(panel->Lines()->Count(), 3);
        EXPECT_EQ(panel->loadedCalls, 1);
        EXPECT_FALSE(panel->Loading());
    }
}

TEST(FormStream, ConversionBothWaysKeepsTheForm) {
    Root source;
    fill(source.widget);
    TStringStream text(textOf(source.widget)), binary, back;
    ObjectTextToBinary(text, binary);
    EXPECT_EQ(binary.View().substr(0, 4), "TPF0");
    binary.setPosition(0);
    ObjectBinaryToText(binary, back);
    EXPECT_EQ(back.DataString(), text.DataString());
}

// ==== Hand-written texts ====

TEST(FormStream, HandWrittenTextForms) {
    struct Case {
        const char* text;
        const char* expected;  // the form as written back
    } cases[] = {
        // Case, blanks, "+" joins, #nn and #$nn pieces, hex, floats, idents.
        {"OBJECT Main : TWidget\n Count=$1F Caption = 'a'#65 +\n 'b'#$43 Ratio = 15E-1 Color=$FF Shape=SHSTAR\nEND",
         "object Main: TWidget\r\n  Count = 31\r\n  Color = clRed\r\n  Shape = shStar\r\n  Ratio = 1.5\r\n"
         "  Caption = 'aAbC'\r\nend\r\n"},
        // Events are skipped; a nameless header (the root keeps its name); booleans and sets.
        {"object TWidget\n OnPing = Form1Ping\n Active = false Shapes = []\n object B: TWidget Count = -1 end\nend",
         "object Main: TWidget\r\n  Count = 0\r\n  Active = False\r\n  object B: TWidget\r\n    Count = -1\r\n  end\r\n"
         "end\r\n"},
        // A UTF-16 unit above 255 and a surrogate pair become code page 932.
        {"object Main: TWidget Caption = #34920#31034 end",
         "object Main: TWidget\r\n  Count = 0\r\n  Caption = '\x95\x5c\x8e\xa6'\r\nend\r\n"},
        // A collection with order numbers, a later reference, a char as a number.
        {"object Main: TWidget Buddy = Main.Z Letter = 65 Bands = <item [3] Size = 2 end> "
         "object Z: TWidget end end",
         "object Main: TWidget\r\n  Count = 0\r\n  Letter = 'A'\r\n  Buddy = Z\r\n  Bands = <\r\n    item\r\n"
         "      Size = 2\r\n    end>\r\n  object Z: TWidget\r\n    Count = 0\r\n  end\r\nend\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Root root;
        root->SetName("Main");
        loadText(root.widget, c.text);
        EXPECT_EQ(textOf(root.widget), c.expected);
    }
}

// ==== Faults ====

TEST(FormStream, TextFaultsRaiseAndKeepWhatWasMade) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "'object' expected on line 1"},
        {"object Main: TWidget\n Count = 1\n", "'end' expected on line 3"},
        {"object Main: TWidget Caption = 'open\n end", "Unterminated string on line 1"},
        {"object Main: TWidget Count = 1 end end", "End of text expected on line 1"},
        {"object Main: TWidget Count = end", "'end' expected on line 1"},
        {"object Main: TWidget Count = ", "Value expected on line 1"},
        {"object Main: TWidget X = {0A1} end", "Invalid binary value on line 1"},
        {"object Main: TWidget Count = 99999999999999999999 end", "Invalid integer on line 1"},
        {"object Main: TWidget Caption = #70000 end", "Invalid character code on line 1"},
        {"object Main: TWidget object A: TWidget end object B: TNoSuchClass end end", "Class TNoSuchClass not found"},
        {"object Main: TWidget object A: TWidget end object A: TWidget end end",
         "A component named A already exists"},
        {"object Main: TWidget Count = 'x' end", "Error reading Main.Count: Invalid property value"},
        {"object Main: TWidget Count = 4294967296 end", "Error reading Main.Count: Invalid property value"},
        {"object Main: TWidget Shape = shOval end", "Error reading Main.Shape: Invalid property value"},
        {"object Main: TWidget Shapes = [shCircle, x] end", "Error reading Main.Shapes: Invalid property value"},
        {"object Main: TWidget Nope = 1 end", "Error reading Main.Nope: Property Nope does not exist"},
        {"object Main: TWidget Pen.Nope.X = 1 end", "Error reading Main.Pen.Nope.X: Property Nope does not exist"},
        {"object Main: TWidget Buddy.Count = 1 end", "Error reading Main.Buddy.Count: Invalid property value"},
        {"object Main: TWidget Lines.Strings = ('a' 1) end", "Error reading Main.Lines.Strings: Invalid property value"},
        {"object Main: TWidget Bands = <item Nope = 1 end> end",
         "Error reading Main.Bands: Property Nope does not exist"},
        {"object Main: TWidget Buddy = Ghost end", "Error reading Main.Buddy: Invalid reference Ghost"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Root root;
        root->SetName("Main");
        try {
            loadText(root.widget, c.text);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_FALSE(root->Loading());
    }
    Root root;
    EXPECT_THROW(loadText(root.widget, "object M: TWidget Count = 5 object A: TWidget end object B: TNope end end"),
                 EClassNotFound);
    EXPECT_EQ(root->Count, 0);  // an unknown class changes nothing
    EXPECT_THROW(loadText(root.widget, "object M: TWidget Count = 5 object A: TWidget end object B: TWidget Shape = 9 "
                                       "end end"),
                 EReadError);
    EXPECT_EQ(root->Count, 5);
    EXPECT_NE(root.child("A"), nullptr);  // made before the failure: it stays
}

TEST(FormStream, NestingIsCapped) {
    std::string deepObjects, deepLists = "object M: TWidget Count = ";
    for (int i = 0; i < 200; ++i) deepObjects += "object A" + std::to_string(i) + ": TWidget\n";
    deepLists += std::string(200, '(');
    for (const std::string& text : {deepObjects, deepLists}) {
        TStringStream input(text);
        EXPECT_THROW(readTextForm(input), EParserError);
    }
    TFormObject form;
    form.ClassName = "TWidget";
    TFormObject* last = &form;
    for (int i = 0; i < MaxFormNesting + 5; ++i) {
        last->Children.push_back({});
        last = &last->Children.back();
        last->ClassName = "TWidget";
    }
    TMemoryStream binary;
    writeBinaryForm(binary, form);
    binary.setPosition(0);
    EXPECT_THROW(readBinaryForm(binary), EReadError);
}

TEST(FormStream, BinaryCutShortOrLyingRaisesReadError) {
    Root source;
    fill(source.widget);
    TMemoryStream whole;
    WriteComponent(whole, source.widget);
    for (size_t cut = 0; cut < whole.Bytes().size(); ++cut) {
        TMemoryStream part(whole.Bytes().substr(0, cut));
        Root root;
        EXPECT_THROW(ReadComponent(part, root.widget), EReadError) << cut;
    }
    struct Case {
        std::string bytes;
        const char* message;
    } cases[] = {
        {"TPF1\x07TWidget\x01M\0\0", "Invalid stream format"},
        {std::string("TPF0\x07TWidget\x01M\x05" "Count\x0C\xFF\xFF\xFF\x7F", 25), "Stream read error at offset 21"},
        {std::string("TPF0\x07TWidget\x01M\x05" "Count\x0A\xFF\xFF\xFF\x7F" "ab\0\0", 29), "Stream read error at offset 21"},
        {std::string("TPF0\x07TWidget\x01M\x05" "Count\x30\0\0", 23), "Invalid value tag at offset 17"},
        {std::string("TPF0\x07TWidget\x01M\x05" "Count\x12\x00\x00\x00\x40\0\0", 27), "Stream read error at offset 21"},
    };
    for (const Case& c : cases) {
        TMemoryStream stream(c.bytes);
        Root root;
        try {
            ReadComponent(stream, root.widget);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
}

TEST(FormStream, BinaryForeignStringsAndTagsRead) {
    // A wide caption, a UTF-8 one, int16, single, currency and date floats.
    std::string bytes("TPF0\x07TWidget\x01M", 14);
    auto prop = [&](std::string_view name, std::string_view value) {
        bytes += static_cast<char>(name.size());
        bytes += name;
        bytes += value;
    };
    prop("Caption", std::string("\x12\x02\0\0\0\x68\x88\x3a\x79", 9));
    prop("Count", std::string("\x03\x10\x27", 3));
    prop("Ratio", std::string("\x10\x88\x13\0\0\0\0\0\0", 9));
    bytes += std::string("\0\0", 2);
    TMemoryStream stream(bytes);
    Root root;
    ReadComponent(stream, root.widget);
    EXPECT_EQ(root->Caption, "\x95\x5c\x8e\xa6");
    EXPECT_EQ(root->Count, 10000);
    EXPECT_EQ(root->Ratio, 0.5);
}

// ==== Collections ====

TEST(Collection, ItemsKnowTheirPlace) {
    TCollection bands(&TBand::classInfo);
    auto* a = bands.Add();
    auto* b = bands.Add();
    auto* c = bands.Insert(0);
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(a->Index(), 1);
    b->SetIndex(0);
    EXPECT_EQ(bands.Items(0), b);
    EXPECT_EQ(bands.FindItemID(c->ID()), c);
    EXPECT_THROW(bands.Items(3), EListError);
    delete a;
    EXPECT_EQ(bands.Count(), 2);
    TCollection other(&TBand::classInfo);
    static_cast<TBand*>(b)->Text = "x";
    EXPECT_THROW(other.Assign(&bands), EConvertError);  // TBand has no Assign of its own
    bands.Clear();
    EXPECT_EQ(bands.Count(), 0);
}

// ==== Streams ====

TEST(Streams, MemoryAndFile) {
    TMemoryStream memory;
    EXPECT_EQ(memory.Write("abc", 3), 3);
    EXPECT_EQ(memory.Seek(5, soBeginning), 5);
    memory.Write("z", 1);
    EXPECT_EQ(memory.Bytes(), std::string("abc\0\0z", 6));
    memory.setPosition(1);
    char buffer[8] = {};
    EXPECT_EQ(memory.Read(buffer, 8), 5);
    EXPECT_EQ(memory.Seek(-1, soBeginning), -1);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    AnsiString path = AnsiString(folder) + "nimbora_streams_" + kJapanese + ".txt";
    {
        TFileStream file(path, fmCreate);
        WriteBuffer(file, "hello");
    }
    TFileStream file(path, fmOpenRead);
    EXPECT_EQ(ReadToEnd(file), "hello");
    EXPECT_THROW(TFileStream(path + ".missing", fmOpenRead), EFOpenError);
    DeleteFileA(path.c_str());
}
