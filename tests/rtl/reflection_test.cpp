// Class records and published properties: one property of every kind read and
// written by name, case-insensitive lookup, ancestors first, enumeration and
// set texts, method identities, and Assign between persistent objects.
#include <gtest/gtest.h>

#include "rtl/persistent.h"

namespace {

enum TAlign { alNone, alTop, alBottom };
const char* const alignNames[] = {"alNone", "alTop", "alBottom"};
const TEnumInfo alignInfo{"TAlign", alignNames, 3};

const char* const anchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
const TEnumInfo anchorKindInfo{"TAnchorKind", anchorNames, 4};
const TSetInfo anchorsInfo{"TAnchors", &anchorKindInfo, 1};

using TNotifyEvent = TEvent<void(TObject*)>;
const TMethodTypeInfo notifyEventType{"TNotifyEvent"};
const TMethodTypeInfo otherEventType{"TOtherEvent"};

// A counted COM object for the interface property.
class Unknown : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { *out = nullptr; return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

class TBase : public TPersistent {
    RTL_DECLARE_CLASS()
    int tag = 0;
    int getTag() const { return tag; }
    void setTag(int v) { tag = v; }
};

class TSample : public TBase {
    RTL_DECLARE_CLASS()
    int count = 0;
    char letter = 'a';
    TAlign align = alNone;
    bool visible = false;
    double ratio = 0;
    AnsiString caption;
    uint8_t anchors = 0;
    TPersistent* peer = nullptr;
    TNotifyEvent onClick;
    VARIANT variant{};
    TIntf<IUnknown> intf;
    int64_t big = 0;
    int readOnly = 42;

    TSample() { VariantInit(&variant); }
    ~TSample() override { VariantClear(&variant); }

    int getCount() const { return count; }
    void setCount(int v) { count = v; }
    char getLetter() const { return letter; }
    void setLetter(char v) { letter = v; }
    double getRatio() const { return ratio; }
    void setRatio(double v) { ratio = v; }
    AnsiString getCaption() const { return caption; }
    void setCaption(const AnsiString& v) { caption = v; }
    TPersistent* getPeer() const { return peer; }
    void setPeer(TPersistent* v) { peer = v; }
    TNotifyEvent getOnClick() const { return onClick; }
    void setOnClick(TNotifyEvent v) { onClick = v; }
    VARIANT getVariant() const { VARIANT v; VariantInit(&v); VariantCopy(&v, const_cast<VARIANT*>(&variant)); return v; }
    void setVariant(const VARIANT& v) { VariantCopy(&variant, const_cast<VARIANT*>(&v)); }
    TIntf<IUnknown> getIntf() const { return intf; }
    void setIntf(IUnknown* v) { intf = v; }
};

const TPropInfo baseProps[] = {
    IntegerProperty<&TBase::getTag, &TBase::setTag>("Tag"),
};
const TPropInfo sampleProps[] = {
    IntegerProperty<&TSample::getCount, &TSample::setCount>("Count"),
    CharProperty<&TSample::getLetter, &TSample::setLetter>("Letter"),
    EnumProperty<&TSample::align, &TSample::align>("Align", &alignInfo),
    BoolProperty<&TSample::visible, &TSample::visible>("Visible"),
    FloatProperty<&TSample::getRatio, &TSample::setRatio>("Ratio"),
    StringProperty<&TSample::getCaption, &TSample::setCaption>("Caption"),
    SetProperty<&TSample::anchors, &TSample::anchors>("Anchors", &anchorsInfo),
    ClassProperty<&TSample::getPeer, &TSample::setPeer>("Peer", &TPersistent::classInfo),
    MethodProperty<&TSample::getOnClick, &TSample::setOnClick>("OnClick", &notifyEventType),
    VariantProperty<&TSample::getVariant, &TSample::setVariant>("Value"),
    InterfaceProperty<&TSample::getIntf, &TSample::setIntf>("Intf"),
    Int64Property<&TSample::big, &TSample::big>("Big"),
    IntegerProperty<&TSample::readOnly>("ReadOnly"),
    IntegerProperty<&TSample::getCount, &TSample::setCount>("count"),  // shadowed by Count
};

}  // namespace

const TClassInfo TBase::classInfo = makeClassInfo("TBase", &TPersistent::classInfo, baseProps);
const TClassInfo TSample::classInfo = makeClassInfo("TSample", &TBase::classInfo, sampleProps, nullptr,
                                                    TGlobalInstance::No);

namespace {

int64_t readOrdinal(const TObject& o, const char* name) {
    TPropValue v;
    EXPECT_TRUE(ReadProp(&o, GetPropInfo(o.ClassType(), name), v)) << name;
    return v.Ordinal;
}

void writeOrdinal(TObject& o, const char* name, int64_t x) {
    TPropValue v;
    v.Ordinal = x;
    EXPECT_TRUE(WriteProp(&o, GetPropInfo(o.ClassType(), name), v)) << name;
}

}  // namespace

TEST(Reflection, ClassRecordsFormAChain) {
    TSample s;
    EXPECT_STREQ(s.ClassName(), "TSample");
    EXPECT_TRUE(s.InheritsFrom(&TPersistent::classInfo));
    EXPECT_TRUE(s.InheritsFrom(&TObject::classInfo));
    EXPECT_FALSE(TBase::classInfo.InheritsFrom(&TSample::classInfo));
    EXPECT_FALSE(TSample::classInfo.HasGlobalInstance());
    EXPECT_TRUE(TBase::classInfo.HasGlobalInstance());
}

TEST(Reflection, LookupIgnoresCaseAndListsAncestorsFirst) {
    const TPropInfo* p = GetPropInfo(&TSample::classInfo, "cOUNT");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Name, "Count");  // the first match wins over the later "count"
    EXPECT_EQ(GetPropInfo(&TSample::classInfo, "Missing"), nullptr);
    EXPECT_NE(GetPropInfo(&TSample::classInfo, "tag"), nullptr);

    std::vector<AnsiString> names = GetPropNames(&TSample::classInfo, false);
    ASSERT_EQ(names.size(), 14u);
    EXPECT_EQ(names[0], "Tag");
    EXPECT_EQ(names[1], "Count");
    EXPECT_EQ(names[9], "Value");  // OnClick is not listed here
    std::vector<AnsiString> events = GetPropNames(&TSample::classInfo, true);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "OnClick");
    EXPECT_EQ(GetPropInfos(&TSample::classInfo).size(), 15u);
}

TEST(Reflection, OrdinalKindsReadAndWrite) {
    TSample s;
    writeOrdinal(s, "Tag", 7);
    writeOrdinal(s, "Count", -5);
    writeOrdinal(s, "Letter", 0xE9);
    writeOrdinal(s, "Align", alBottom);
    writeOrdinal(s, "Visible", 1);
    writeOrdinal(s, "Anchors", 0x5);
    writeOrdinal(s, "Big", 1LL << 40);
    EXPECT_EQ(s.tag, 7);
    EXPECT_EQ(s.count, -5);
    EXPECT_EQ(static_cast<unsigned char>(s.letter), 0xE9);
    EXPECT_EQ(s.align, alBottom);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.anchors, 5);
    EXPECT_EQ(s.big, 1LL << 40);
    EXPECT_EQ(readOrdinal(s, "count"), -5);
    EXPECT_EQ(readOrdinal(s, "Letter"), 0xE9);  // characters read unsigned
    EXPECT_EQ(readOrdinal(s, "Align"), 2);
    EXPECT_EQ(readOrdinal(s, "Visible"), 1);
    EXPECT_EQ(readOrdinal(s, "Big"), 1LL << 40);
    EXPECT_EQ(readOrdinal(s, "ReadOnly"), 42);
}

TEST(Reflection, ReadOnlyPropertyRefusesWrites) {
    TSample s;
    TPropValue v;
    v.Ordinal = 1;
    EXPECT_FALSE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "ReadOnly"), v));
    EXPECT_EQ(s.readOnly, 42);
    EXPECT_FALSE(WriteProp(&s, nullptr, v));
}

TEST(Reflection, FloatStringClassAndMethodKinds) {
    TSample s, other;
    TPropValue v;
    v.Float = 2.5;
    v.Str = "caption";
    v.Object = &other;
    EXPECT_TRUE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "Ratio"), v));
    EXPECT_TRUE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "Caption"), v));
    EXPECT_TRUE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "Peer"), v));
    EXPECT_EQ(s.ratio, 2.5);
    EXPECT_EQ(s.caption, "caption");
    EXPECT_EQ(s.peer, &other);

    static int clicks = 0;
    static TObject* clickedBy = nullptr;
    struct Handler {
        static void click(void* data, TObject* sender) { clicks += *static_cast<int*>(data); clickedBy = sender; }
    };
    int step = 3;
    TNotifyEvent handler(&Handler::click, &step);
    v.Method = handler;
    const TPropInfo* onClick = GetPropInfo(&TSample::classInfo, "onclick");
    ASSERT_TRUE(onClick->isMethod());
    EXPECT_EQ(onClick->methodType(), &notifyEventType);
    EXPECT_NE(onClick->methodType(), &otherEventType);
    EXPECT_TRUE(WriteProp(&s, onClick, v));
    s.onClick(&s);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(clickedBy, &s);

    TPropValue back;
    EXPECT_TRUE(ReadProp(&s, onClick, back));
    EXPECT_EQ(back.Method, static_cast<const TMethod&>(handler));
    EXPECT_NE(back.Method, TMethod{});
    EXPECT_TRUE(back.Method);
}

TEST(Reflection, VariantAndInterfaceKinds) {
    TSample s;
    {
        TPropValue v;
        v.Variant.vt = VT_I4;
        v.Variant.lVal = 99;
        EXPECT_TRUE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "Value"), v));
    }
    {
        TPropValue v;
        EXPECT_TRUE(ReadProp(&s, GetPropInfo(&TSample::classInfo, "Value"), v));
        EXPECT_EQ(v.Variant.vt, VT_I4);
        EXPECT_EQ(v.Variant.lVal, 99);
    }
    Unknown unk;
    {
        TPropValue v;
        v.Interface = &unk;
        EXPECT_TRUE(WriteProp(&s, GetPropInfo(&TSample::classInfo, "Intf"), v));
        EXPECT_EQ(unk.refs, 3u);  // ours, the transit value's and the property's
    }
    {
        TPropValue v;
        EXPECT_TRUE(ReadProp(&s, GetPropInfo(&TSample::classInfo, "Intf"), v));
        EXPECT_EQ(v.Interface.get(), &unk);
    }
    s.intf = nullptr;
    EXPECT_EQ(unk.refs, 1u);
}

TEST(Reflection, EnumerationNamesAndOrdinals) {
    EXPECT_EQ(GetEnumName(&alignInfo, 1), "alTop");
    EXPECT_EQ(GetEnumName(&alignInfo, 3), "");
    EXPECT_EQ(GetEnumName(&alignInfo, -1), "");
    EXPECT_EQ(GetEnumValue(&alignInfo, "ALBOTTOM"), 2);
    EXPECT_EQ(GetEnumValue(&alignInfo, "alLeft"), -1);
    EXPECT_EQ(GetEnumName(&BooleanTypeInfo, 1), "True");
    EXPECT_EQ(GetEnumValue(&BooleanTypeInfo, "false"), 0);
}

TEST(Reflection, SetTextsWithAndWithoutBrackets) {
    EXPECT_EQ(SetToString(&anchorsInfo, 0x3), "akLeft,akTop");
    EXPECT_EQ(SetToString(&anchorsInfo, 0x9, true), "[akLeft,akBottom]");
    EXPECT_EQ(SetToString(&anchorsInfo, 0), "");
    uint32_t bits = 99;
    EXPECT_TRUE(StringToSet(&anchorsInfo, "akLeft,akTop", bits));
    EXPECT_EQ(bits, 0x3u);
    EXPECT_TRUE(StringToSet(&anchorsInfo, "  [akRight, akbottom]", bits));
    EXPECT_EQ(bits, 0xCu);
    EXPECT_FALSE(StringToSet(&anchorsInfo, "akTop,akNowhere", bits));
    EXPECT_EQ(bits, 0x2u);  // known names still count
    EXPECT_TRUE(StringToSet(&anchorsInfo, "[]", bits));
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(SetMask(&anchorsInfo), 0xFu);
}

namespace {

class TPoint2 : public TPersistent {
    RTL_DECLARE_CLASS()
    int x = 0;
    void Assign(const TPersistent* source) override {
        if (source && source->InheritsFrom(&TPoint2::classInfo)) {
            x = static_cast<const TPoint2*>(source)->x;
            return;
        }
        TPersistent::Assign(source);
    }
};

}  // namespace

const TClassInfo TPoint2::classInfo = makeClassInfo("TPoint2", &TPersistent::classInfo);

TEST(Persistent, AssignCopiesSupportedPairsAndNamesBothClassesOtherwise) {
    TPoint2 a, b;
    a.x = 4;
    b.Assign(&a);
    EXPECT_EQ(b.x, 4);
    TSample s;
    try {
        b.Assign(&s);
        FAIL() << "assigning an unrelated class must raise";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "Cannot assign a TSample to a TPoint2");
    }
    EXPECT_THROW(s.Assign(nullptr), EConvertError);
}
