// Point and Rect: the corner fields, the text forms and their parsing (blanks
// dropped, letters in any case, the form found anywhere in the text).
#include "stdlib/rectobject.h"

#include "engine/support/regexp.h"
#include "rtl/format.h"
#include "rtl/numtext.h"

namespace {

// The integers of the pattern's groups found in the text without its blanks;
// false (nothing to assign) when the text does not hold the form.
template <size_t N>
bool parseForm(const char* pattern, const AnsiString& text, int32_t (&numbers)[N]) {
    AnsiString packed;
    for (size_t i = 0; i < text.length(); ++i) {
        if (text[i] != ' ') packed += text[i];
    }
    TJRegExp form(pattern);
    form.SetIgnoreCase(true);
    if (!form.Exec(packed) || form.Groups().size() < N + 1) return false;
    for (size_t i = 0; i < N; ++i) {
        if (!textToInt32(form.Groups()[i + 1], numbers[i])) numbers[i] = 0;
    }
    return true;
}

const TPropInfo pointProperties[] = {
    IntegerProperty<&TJPoint::X, &TJPoint::SetX>("x"),
    IntegerProperty<&TJPoint::Y, &TJPoint::SetY>("y"),
    StringProperty<&TJPoint::pointText, &TJPoint::setPointText>("point"),
};

const TPropInfo rectProperties[] = {
    IntegerProperty<&TJRect::Left, &TJRect::SetLeft>("left"),
    IntegerProperty<&TJRect::Top, &TJRect::SetTop>("top"),
    IntegerProperty<&TJRect::Right, &TJRect::SetRight>("right"),
    IntegerProperty<&TJRect::Bottom, &TJRect::SetBottom>("bottom"),
    ClassProperty<&TJRect::topLeftProperty, &TJRect::setTopLeftProperty>("topLeft", &TJObject::classInfo),
    ClassProperty<&TJRect::bottomRightProperty, &TJRect::setBottomRightProperty>("bottomRight",
                                                                                 &TJObject::classInfo),
    StringProperty<&TJRect::rectText, &TJRect::setRectText>("rect"),
};

}  // namespace

// ==== Point ====

const TClassInfo TJPoint::classInfo =
    makeClassInfo("TJPoint", &TJObject::classInfo, pointProperties, &scriptCreator<TJPoint>);

TJPoint::TJPoint(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Point");
}

void TJPoint::Assign(TJObject* source) {
    if (!source) return;
    TJValue x, y;
    if (!source->GetValueImpl("x", x, nullptr)) MakeUndefined(x);
    if (!source->GetValueImpl("y", y, nullptr)) MakeUndefined(y);
    X_ = ValueToInteger(&x);
    Y_ = ValueToInteger(&y);
}

AnsiString TJPoint::pointText() const {
    return formatText("{x:%d,y:%d}", {X_, Y_});
}

void TJPoint::setPointText(const AnsiString& text) {
    int32_t numbers[2];
    if (!parseForm(R"(\{x:(-?\d+),y:(-?\d+)\})", text, numbers)) return;
    X_ = numbers[0];
    Y_ = numbers[1];
}

// ==== Rect ====

const TClassInfo TJRect::classInfo =
    makeClassInfo("TJRect", &TJObject::classInfo, rectProperties, &scriptCreator<TJRect>);

// The corners live by their counts alone (outside the runtime's object list,
// which frees in its own order), so the rectangle's references stay valid.
TJRect::TJRect(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args),
      TopLeft_(createObject<TJPoint>(runtime, false, nullptr)),
      BottomRight_(createObject<TJPoint>(runtime, false, nullptr)) {
    SetClassName("Rect");
    TopLeft_->IncRef();
    BottomRight_->IncRef();
}

TJRect::~TJRect() {
    TopLeft_->DecRef();
    BottomRight_->DecRef();
}

void TJRect::CopyToRect(RECT& rect) const {
    rect = RECT{Left(), Top(), Right(), Bottom()};
}

void TJRect::CopyFromRect(const RECT& rect) {
    SetLeft(rect.left);
    SetTop(rect.top);
    SetRight(rect.right);
    SetBottom(rect.bottom);
}

AnsiString TJRect::rectText() const {
    return formatText("{left:%d,top:%d,right:%d,bottom:%d}", {Left(), Top(), Right(), Bottom()});
}

void TJRect::setRectText(const AnsiString& text) {
    int32_t numbers[4];
    if (!parseForm(R"(\{left:(-?\d+),top:(-?\d+),right:(-?\d+),bottom:(-?\d+)\})", text, numbers)) return;
    CopyFromRect(RECT{numbers[0], numbers[1], numbers[2], numbers[3]});
}
