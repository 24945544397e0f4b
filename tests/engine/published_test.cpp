// Published properties as script values: every property kind read and written
// by name on a test class, unsuitable values kept as members, enumeration and
// set texts, event identities, clearing event handlers, and automation
// variants in both directions.
#include "engine/core/hooks.h"
#include "engine/core/published.h"
#include "engine/core/variant.h"
#include "rtl/codepage.h"
#include "valuetest.h"

namespace {

enum TShape { shCircle, shSquare, shTriangle };
const char* const shapeNames[] = {"shCircle", "shSquare", "shTriangle"};
const TEnumInfo shapeInfo{"TShape", shapeNames, 3};
const char* const sideNames[] = {"sdLeft", "sdTop", "sdRight", "sdBottom"};
const TEnumInfo sideInfo{"TSide", sideNames, 4};
const TSetInfo sidesInfo{"TSides", &sideInfo, 1};
const TMethodTypeInfo clickType{"TClickEvent"};
const TMethodTypeInfo keyType{"TKeyEvent"};

// A GUI-like object that is not a script object.
class TGadget : public TPersistent {
    RTL_DECLARE_CLASS()
};

class TSampleObject : public TJObject {
    RTL_DECLARE_CLASS()
    TSampleObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
        VariantInit(&variant);
    }
    ~TSampleObject() override { VariantClear(&variant); }

    int32_t number = 0;
    char letter = 'a';
    TShape shape = shCircle;
    bool flag = false;
    double ratio = 0;
    AnsiString caption;
    uint8_t sides = 0;
    TJObject* link = nullptr;
    TPersistent* gadget = nullptr;
    TMethod onClick;
    TMethod onKey;
    VARIANT variant;
    TIntf<IUnknown> intf;
    int64_t big = 0;
    int32_t fixed = 5;

    VARIANT getVariant() const {
        VARIANT v;
        VariantInit(&v);
        VariantCopy(&v, const_cast<VARIANT*>(&variant));
        return v;
    }
    void setVariant(const VARIANT& v) { VariantCopy(&variant, const_cast<VARIANT*>(&v)); }
    TIntf<IUnknown> getIntf() const { return intf; }
    void setIntf(IUnknown* v) { intf = v; }
};

const TPropInfo sampleProps[] = {
    IntegerProperty<&TSampleObject::number, &TSampleObject::number>("Number"),
    CharProperty<&TSampleObject::letter, &TSampleObject::letter>("Letter"),
    EnumProperty<&TSampleObject::shape, &TSampleObject::shape>("Shape", &shapeInfo),
    BoolProperty<&TSampleObject::flag, &TSampleObject::flag>("Flag"),
    FloatProperty<&TSampleObject::ratio, &TSampleObject::ratio>("Ratio"),
    StringProperty<&TSampleObject::caption, &TSampleObject::caption>("Caption"),
    SetProperty<&TSampleObject::sides, &TSampleObject::sides>("Sides", &sidesInfo),
    ClassProperty<&TSampleObject::link, &TSampleObject::link>("Link", &TJObject::classInfo),
    ClassProperty<&TSampleObject::gadget, &TSampleObject::gadget>("Gadget", &TGadget::classInfo),
    MethodProperty<&TSampleObject::onKey>("OnKey", &keyType),  // read-only: clearing goes past it
    MethodProperty<&TSampleObject::onClick, &TSampleObject::onClick>("OnClick", &clickType),
    VariantProperty<&TSampleObject::getVariant, &TSampleObject::setVariant>("Value"),
    InterfaceProperty<&TSampleObject::getIntf, &TSampleObject::setIntf>("Intf"),
    Int64Property<&TSampleObject::big, &TSampleObject::big>("Big"),
    IntegerProperty<&TSampleObject::fixed>("Fixed"),
};

TJValue read(TJObject* o, const char* name) {
    TJValue v;
    o->GetValue(name, false, v);
    return v;
}

void clickThunk(void*, TObject*) {}

}  // namespace

const TClassInfo TGadget::classInfo = makeClassInfo("TGadget", &TPersistent::classInfo);
const TClassInfo TSampleObject::classInfo = makeClassInfo("TSampleObject", &TJObject::classInfo, sampleProps);

class Published : public ::testing::Test {
protected:
    FakeRuntime engine;
    TSampleObject* o = createObject<TSampleObject>(&engine, true, nullptr);
};

TEST_F(Published, NamesAreListedAndFoundInAnyCase) {
    std::vector<AnsiString> names, events;
    ListPublishedProperties(o, names, false);
    ListPublishedProperties(o, events, true);
    EXPECT_EQ(names.size(), 13u);
    EXPECT_EQ(names[0], "Number");
    EXPECT_EQ(events, (std::vector<AnsiString>{"OnKey", "OnClick"}));
    EXPECT_EQ(o->PropertyNames().size(), 13u);
    EXPECT_EQ(o->PropertyNames().front(), "Big");  // sorted without regard to case
    EXPECT_TRUE(o->HasProperty("caption"));
    EXPECT_FALSE(o->HasProperty("OnClick"));
    o->SetValue("NUMBER", intValue(3));
    EXPECT_EQ(o->number, 3);
    EXPECT_EQ(read(o, "number").IntegerValue, 3);
    EXPECT_FALSE(o->Members()->HasKey("NUMBER"));
}

TEST_F(Published, OrdinalKinds) {
    o->SetValue("Number", doubleValue(2.5));
    EXPECT_EQ(o->number, 2);
    o->SetValue("Letter", textValue("Z"));
    EXPECT_EQ(o->letter, 'Z');
    EXPECT_EQ(read(o, "Letter").IntegerValue, 'Z');
    o->SetValue("Shape", textValue("shtriangle"));
    EXPECT_EQ(o->shape, shTriangle);
    EXPECT_EQ(read(o, "Shape").StrValue, "shTriangle");
    o->SetValue("Shape", intValue(1));
    EXPECT_EQ(o->shape, shSquare);
    o->SetValue("Flag", boolValue(true));
    EXPECT_TRUE(o->flag);
    TJValue flag = read(o, "Flag");
    EXPECT_EQ(flag.ValueType, vtBool);
    EXPECT_TRUE(flag.BooleanValue);
    o->SetValue("Flag", textValue("False"));
    EXPECT_FALSE(o->flag);
    o->SetValue("Big", doubleValue(-1e12 - 0.7));
    EXPECT_EQ(o->big, -1000000000000LL);
    TJValue big = read(o, "Big");
    EXPECT_EQ(big.ValueType, vtDouble);
    EXPECT_EQ(big.DoubleValue, -1e12);
    o->SetValue("Big", intValue(13));
    EXPECT_EQ(read(o, "Big").ValueType, vtInteger);  // within 32 bits
    EXPECT_EQ(read(o, "Fixed").IntegerValue, 5);
}

TEST_F(Published, UnsuitableWritesBecomeMembers) {
    o->SetValue("Shape", intValue(7));  // no such ordinal
    EXPECT_EQ(o->shape, shCircle);
    EXPECT_EQ(o->Members()->FindValue("Shape")->IntegerValue, 7);
    o->SetValue("Shape", textValue("shHexagon"));
    EXPECT_EQ(o->shape, shCircle);
    o->SetValue("Fixed", intValue(9));  // read-only
    EXPECT_EQ(o->fixed, 5);
    EXPECT_TRUE(o->Members()->HasKey("Fixed"));
    EXPECT_EQ(read(o, "Fixed").IntegerValue, 5);  // the property still reads first
    TJValue e;
    MakeEvent(TMethod{reinterpret_cast<void*>(&clickThunk), o}, e);
    EXPECT_FALSE(WritePublishedProperty(o, "OnClick", e, nullptr));      // no method type given
    EXPECT_FALSE(WritePublishedProperty(o, "OnClick", e, &keyType));     // another event type
    EXPECT_FALSE(WritePublishedProperty(o, "Missing", intValue(1), nullptr));
    EXPECT_TRUE(o->onClick.isNil());
}

TEST_F(Published, FloatStringAndSetKinds) {
    o->SetValue("Ratio", textValue("0.25"));
    EXPECT_EQ(o->ratio, 0.25);
    EXPECT_EQ(read(o, "Ratio").DoubleValue, 0.25);
    o->SetValue("Caption", intValue(12));
    EXPECT_EQ(o->caption, "12");
    EXPECT_EQ(read(o, "caption").StrValue, "12");
    o->SetValue("Sides", textValue("[sdLeft, sdBottom, sdNowhere]"));
    EXPECT_EQ(o->sides, 0x9);
    EXPECT_EQ(read(o, "Sides").StrValue, "sdLeft,sdBottom");
    TJObject* chosen = createObject<TJObject>(&engine, true, nullptr);
    chosen->SetValue("sdTop", boolValue(true));
    chosen->SetValue("sdRight", intValue(0));
    o->SetValue("Sides", objectValue(chosen));
    EXPECT_EQ(o->sides, 0x2);
    o->SetValue("Sides", textValue(""));  // the empty list is the empty set
    EXPECT_EQ(o->sides, 0);
    EXPECT_FALSE(o->Members()->HasKey("Sides"));
    EXPECT_EQ(SetToNameList(&sidesInfo, 0x6), "sdTop,sdRight");
    EXPECT_EQ(NameListToSet(&sidesInfo, "sdRight sdTop"), 0x6u);
}

TEST_F(Published, ClassKinds) {
    TJObject* other = createObject<TJObject>(&engine, true, nullptr);
    EXPECT_EQ(read(o, "Link").ValueType, vtNull);
    o->SetValue("Link", objectValue(other));
    EXPECT_EQ(o->link, other);
    EXPECT_EQ(read(o, "Link").ObjValue, other);
    o->SetValue("Link", nullValue());
    EXPECT_EQ(o->link, nullptr);
    o->SetValue("Link", intValue(1));
    EXPECT_EQ(o->link, nullptr);

    TGadget gadget;
    o->gadget = &gadget;
    TJValue noWrapper = read(o, "Gadget");
    EXPECT_EQ(noWrapper.ValueType, vtBool);  // no GUI caster: false
    EXPECT_FALSE(noWrapper.BooleanValue);

    static TJObject* wrapper;
    static TPersistent* wrapped;
    wrapper = other;
    wrapped = &gadget;
    JModuleHooks.WrapPersistent = [](TPersistent* p, TJRuntime*) { return p == wrapped ? wrapper : nullptr; };
    JModuleHooks.WrappedObjectOf = [](TJObject* w) { return w == wrapper ? wrapped : nullptr; };
    EXPECT_EQ(read(o, "Gadget").ObjValue, other);
    o->gadget = nullptr;
    o->SetValue("Gadget", objectValue(other));  // the wrapper's GUI object is written
    EXPECT_EQ(o->gadget, &gadget);
    o->SetValue("Gadget", objectValue(o));  // neither a TGadget nor a wrapper of one
    EXPECT_EQ(o->gadget, &gadget);
    JModuleHooks.WrapPersistent = nullptr;
    JModuleHooks.WrappedObjectOf = nullptr;
    o->gadget = nullptr;
}

TEST_F(Published, EventsNeedTheirOwnTypeAndClearPastReadOnlyOnes) {
    TMethod handler{reinterpret_cast<void*>(&clickThunk), o};
    TJValue e;
    MakeEvent(handler, e);
    EXPECT_TRUE(WritePublishedProperty(o, "onclick", e, &clickType));
    EXPECT_EQ(o->onClick, handler);
    TJValue back = read(o, "OnClick");
    EXPECT_EQ(back.ValueType, vtEvent);
    EXPECT_EQ(back.EventValue, handler);
    EXPECT_TRUE(WritePublishedProperty(o, "OnClick", nullValue(), nullptr));
    EXPECT_TRUE(o->onClick.isNil());
    o->onClick = handler;
    o->onKey = handler;
    ClearEventProperties(o);
    EXPECT_TRUE(o->onClick.isNil());
    EXPECT_EQ(o->onKey, handler);  // read-only: left as it is
}

TEST_F(Published, VariantAndInterfaceKinds) {
    o->SetValue("Value", textValue("\x83\x41"));  // katakana A in code page 932
    EXPECT_EQ(o->variant.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(o->variant.bstrVal), L"\u30A2");
    EXPECT_EQ(read(o, "Value").StrValue, "\x83\x41");
    TJValue d;
    MakeDispatch(nullptr, d);
    EXPECT_TRUE(WritePublishedProperty(o, "Intf", d, nullptr));
    EXPECT_FALSE(WritePublishedProperty(o, "Intf", intValue(1), nullptr));
    EXPECT_EQ(read(o, "Intf").ValueType, vtDispatch);
}

TEST(Variants, ToValues) {
    VARIANT v;
    VariantInit(&v);
    TJValue r;
    v.vt = VT_NULL;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtNull);
    v.vt = VT_I2;
    v.iVal = -3;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.IntegerValue, -3);
    v.vt = VT_UI1;
    v.bVal = 200;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.IntegerValue, 200);
    v.vt = VT_R4;
    v.fltVal = 0.5f;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.DoubleValue, 0.5);
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    VariantToValue(v, nullptr, r);
    EXPECT_TRUE(r.BooleanValue);
    v.vt = VT_DATE;
    v.date = 40000.5;
    VariantToValue(v, nullptr, r);  // a date without an engine
    EXPECT_EQ(r.ValueType, vtUndefined);
    v.vt = VT_DISPATCH;
    v.pdispVal = nullptr;  // an interface variant that holds none
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtNull);
    v.vt = VT_EMPTY;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtUndefined);
}

TEST(Variants, OtherNumbersBecomeIntegersOrDoubles) {
    VARIANT v;
    VariantInit(&v);
    TJValue r;
    v.vt = VT_UI4;
    v.ulVal = 7;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, 7);
    v.ulVal = 4000000000u;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, 4e9);
    v.vt = VT_I8;
    v.llVal = -5;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.IntegerValue, -5);
    v.vt = VT_CY;
    v.cyVal.int64 = 12345;  // 1.2345
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_DOUBLE_EQ(r.DoubleValue, 1.2345);
    LONG cell = 42;
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = &cell;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.IntegerValue, 42);
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_R8;
    inner.dblVal = 2.5;
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &inner;
    VariantToValue(v, nullptr, r);
    EXPECT_EQ(r.DoubleValue, 2.5);
}

TEST(Variants, DatesAndInterfacesWithAnEngine) {
    FakeRuntime engine;
    static double seen;
    auto* linkedHook = JModuleHooks.NewDateObject;  // the Date module's, when linked
    JModuleHooks.NewDateObject = [](TJRuntime* e, double t) {
        seen = t;
        return createObject<TJObject>(e, true, nullptr);
    };
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DATE;
    v.date = 40000.25;
    TJValue r;
    VariantToValue(v, &engine, r);
    EXPECT_TRUE(IsObjectValue(&r));
    EXPECT_EQ(seen, 40000.25);
    JModuleHooks.NewDateObject = linkedHook;
}

TEST(Variants, FromValues) {
    VARIANT v;
    VariantInit(&v);
    ValueToVariant(intValue(5), v);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 5);
    ValueToVariant(doubleValue(1.5), v);
    EXPECT_EQ(v.vt, VT_R8);
    ValueToVariant(boolValue(true), v);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    ValueToVariant(nullValue(), v);
    EXPECT_EQ(v.vt, VT_NULL);
    ValueToVariant(textValue("abc"), v);
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(v.bstrVal), L"abc");
    for (TJValue empty : {undefinedValue(), nanValue(), infinityValue(false)}) {
        ValueToVariant(empty, v);
        EXPECT_EQ(v.vt, VT_EMPTY);
    }
    FakeRuntime engine;
    ValueToVariant(objectValue(createObject<TJObject>(&engine, true, nullptr)), v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    VariantClear(&v);
    EXPECT_EQ(DispatchFlagsOf(1), DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(DispatchFlagsOf(2), DISPATCH_PROPERTYPUT);
    EXPECT_EQ(DispatchFlagsOf(0), DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(DispatchFlagsName(1), "DISPATCH_PROPERTYGET");
    EXPECT_EQ(DispatchFlagsName(2), "DISPATCH_PROPERTYPUT");
    EXPECT_EQ(DispatchFlagsName(7), "DISPATCH_METHOD");
}

TEST(Variants, FormatArguments) {
    EXPECT_EQ(formatText("%d|%.1f|%s|%s", {ValueToVarRec(intValue(3)), ValueToVarRec(doubleValue(2.25)),
                                             ValueToVarRec(boolValue(true)), ValueToVarRec(nullValue())}),
              "3|2.3|true|null");
    TJValue event;
    MakeEvent(TMethod{}, event);
    EXPECT_EQ(formatText("%d", {ValueToVarRec(event)}), "0");
    EXPECT_THROW(formatText("%d", {ValueToVarRec(doubleValue(3.5))}), EConvertError);
    TJValue v;
    VarRecToValue(FormatArg(7), v);
    EXPECT_EQ(v.IntegerValue, 7);
    VarRecToValue(FormatArg(int64_t(1) << 40), v);
    EXPECT_EQ(v.ValueType, vtDouble);
    VarRecToValue(FormatArg("t"), v);
    EXPECT_EQ(v.StrValue, "t");
    VarRecToValue(FormatArg(static_cast<const void*>(&v)), v);
    EXPECT_EQ(v.ValueType, vtUndefined);
}
