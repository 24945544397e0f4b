// The HtmlParser and HtmlTag objects.
#include "net/htmlobjects.h"

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "engine/support/mbstring.h"
#include "rtl/exceptions.h"
#include "rtl/fileio.h"

namespace {

const TPropInfo tagProperties[] = {
    StringProperty<&TJHtmlTagObject::nameProperty, &TJHtmlTagObject::setNameProperty>("name"),
};

const TPropInfo parserProperties[] = {
    StringProperty<&TJHtmlParserObject::textProperty>("text"),
    StringProperty<&TJHtmlParserObject::htmlProperty>("html"),
    IntegerProperty<&TJHtmlParserObject::countProperty>("count"),
    IntegerProperty<&TJHtmlParserObject::countProperty>("length"),
};

void parse(TJHtmlParserObject& self, TJValueList* args, TJValue&) { self.Parse(ValueToString(args->At(0))); }

// A missing file leaves the object as it was; one that cannot be read (a
// device is never missing, and never read) raises.
void parseFile(TJHtmlParserObject& self, TJValueList* args, TJValue&) {
    AnsiString path = ValueToString(args->At(0));
    if (!isDeviceName(path) && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const Exception&) {
        raiseScriptError("EHtmlParserError", "parseFile error");
    }
    self.Parse(AnsiString(bytes));
}

void clear(TJHtmlParserObject& self, TJValueList*, TJValue&) { self.ClearTags(); }

const TJMethod<TJHtmlParserObject> parserMethods[] = {
    {"parse", 1, &parse, TJMethodResult::Self},
    {"parseFile", 1, &parseFile, TJMethodResult::Self},
    {"clear", 0, &clear, TJMethodResult::Self},
};

}  // namespace

// ==== HtmlTag ====

const TClassInfo TJHtmlTagObject::classInfo =
    makeClassInfo("TJHtmlTagObject", &TJObject::classInfo, tagProperties, &scriptCreator<TJHtmlTagObject>);

TJHtmlTagObject::TJHtmlTagObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("HtmlTag");
}

void TJHtmlTagObject::Assign(const THtmlTag& tag) {
    ClearValueMembers();
    Name_ = tag.Name;
    TJValue value;
    for (const auto& [name, text] : tag.Attributes) {
        if (name == "name") continue;
        MakeString(text, value);
        PutMember(name, value);
    }
}

AnsiString TJHtmlTagObject::ToString(const TJValue*) {
    std::vector<AnsiString> names;
    GetPropertyList(names);
    AnsiString attributes;
    TJValue value;
    for (const AnsiString& name : names) {
        GetValue(name, false, value);
        AnsiString text = ValueToString(value);
        attributes += text.empty() ? name + " " : name + "=\"" + text + "\" ";
    }
    return "<" + Name_ + " " + trimRight(attributes) + ">";
}

// ==== HtmlParser ====

const TClassInfo TJHtmlParserObject::classInfo = makeClassInfo(
    "TJHtmlParserObject", &TJObject::classInfo, parserProperties, &scriptCreator<TJHtmlParserObject>);

TJHtmlParserObject::TJHtmlParserObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("HtmlParser");
    if (HasArgs(args)) Parse(ValueToString(args->At(0)));
}

const TJMethodTable& TJHtmlParserObject::Methods() const {
    static const TJMethodTable table(parserMethods, TJObject::Methods());
    return table;
}

void TJHtmlParserObject::Parse(const AnsiString& html) {
    Html_ = html;
    Parser_.Parse(html);
}

void TJHtmlParserObject::GetItem(int32_t index, TJValue& value) {
    const THtmlTag* tag = Parser_.Items(index);
    if (!tag) {
        MakeNull(value);
        return;
    }
    auto* object = createObject<TJHtmlTagObject>(Runtime(), true, nullptr);
    MakeObject(object, value);
    object->Assign(*tag);
}

void TJHtmlParserObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    int32_t index;
    if (keyError && ReadDecimalIndex(name, index)) GetItem(index, value);
    else TJObject::GetValue(name, keyError, value, args);
}
