// The script classes "HtmlParser" (a THtmlParser and the last HTML given;
// item access p[i] gives the i-th tag) and "HtmlTag" (one tag: its name and
// its attributes as members). Registered by RegisterSocketObjects
// (net/netlibrary.h).
#pragma once

#include "engine/core/object.h"
#include "net/htmlparser.h"

class TJHtmlTagObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJHtmlTagObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // Clears the members; the name and every attribute become members. An
    // attribute called "name" stays out of the members: the property is the
    // tag's name.
    void Assign(const THtmlTag& tag);
    // "<name attr="value" attr name="name">": every member that is no
    // function (valueless ones by name alone), then the published name.
    AnsiString ToString(const TJValue* = nullptr) override;

    AnsiString nameProperty() const { return Name_; }
    void setNameProperty(AnsiString name) { Name_ = name; }

private:
    AnsiString Name_;
};

class TJHtmlParserObject : public TJObject {
    RTL_DECLARE_CLASS()
    // HtmlParser([html]).
    TJHtmlParserObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    void Parse(const AnsiString& html);
    void ClearTags() { Parser_.Clear(); }

    // Item access with a whole number gives a new "HtmlTag" of that tag,
    // null past the end.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return Parser_.Count(); }
    void GetItem(int32_t index, TJValue& value) override;
    AnsiString ToString(const TJValue* = nullptr) override { return Html_; }

    AnsiString textProperty() const { return Parser_.Text(); }
    AnsiString htmlProperty() const { return Html_; }
    int32_t countProperty() const { return Parser_.Count(); }

    const TJMethodTable& Methods() const override;

private:
    THtmlParser Parser_;
    AnsiString Html_;
};
