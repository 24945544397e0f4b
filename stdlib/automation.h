// Late-bound automation: the script classes "ActiveXObject" (a server object
// driven by name through IDispatch, with its events delivered to script
// functions) and "Enumerator" (a walk over a collection's IEnumVARIANT), and
// the evaluator's `for ... in` over a collection. RegisterActiveXObjects
// registers both classes, fills the automation hooks (the wrapping of
// dispatch values and WScript's COM methods) and initialises COM once on the
// calling (GUI) thread.
#pragma once

#include <ocidl.h>

#include <vector>

#include "engine/core/object.h"
#include "engine/support/hashtable.h"
#include "rtl/intf.h"

class TJActiveXObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJActiveXObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJActiveXObject() override;

    IDispatch* Dispatch() const { return Disp_.get(); }
    // The dispatch and member id this object was read from (a property of
    // another automation object); index reads go through them.
    void SetParent(IDispatch* parent, DISPID member);

    // The prefix of the script functions that receive the events; a
    // non-empty one connects the events.
    const AnsiString& EventPrefix() const { return Prefix_; }
    void SetEventPrefix(const AnsiString& prefix);
    void ConnectEvents();
    void DisconnectEvents();

    // A name the object holds reads as usual; any other is the server's
    // property (a function value when only a method answers). keyError marks
    // an index read: the default member or the parent's member with the index.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    // Every name but a published property is written to the server.
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    void Clear() override;
    void ToVariant(VARIANT& variant) override;
    // The property names of the server's type information (none without it).
    void GetPropertyList(std::vector<AnsiString>& list) override;
    // The elements of the server's enumerator; false when it has none.
    bool ForEachItem(const std::function<bool(const TJValue& item)>& body) override;
    bool FindScopeName(const AnsiString& name, TJValue& value) override;
    uint64_t ScopeKeysStamp() override { return 0; }  // the server's names are unknown
    bool WrapsForRead(TJObject* member) const override;

    // The published `disp`.
    TIntf<IUnknown> dispProperty() const { return TIntf<IUnknown>(Disp_.get()); }
    void setDispProperty(IUnknown* value);

protected:
    void Construct(TJValueList* args) override;

private:
    // The member id of the name, cached; false (memberId: "EActiveXError"
    // with the name) when the server does not know it.
    bool findMemberId(const AnsiString& name, DISPID& id);
    DISPID memberId(const AnsiString& name);
    void readMember(const AnsiString& name, TJValue& value);
    void readIndex(const AnsiString& name, TJValueList* args, TJValue& value);

    struct Connection {
        TIntf<IConnectionPoint> Point;
        DWORD Cookie = 0;
        TIntf<IDispatch> Sink;
    };

    TIntegerHashTable DispIds_;
    TIntf<IDispatch> Disp_;
    TIntf<IDispatch> Parent_;
    DISPID MemberId_ = -1;
    AnsiString Prefix_;
    std::vector<Connection> Connections_;
};

class TJEnumeratorObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJEnumeratorObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJEnumeratorObject() override;

    bool AtEnd() const { return AtEnd_; }
    void MoveFirst();
    void MoveNext();
    // The current element as a script value.
    void ReadCurrentItem(TJValue& value);

    // An empty name reads the current element.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;

    const TJMethodTable& Methods() const override;

protected:
    void Construct(TJValueList* args) override;

private:
    TIntf<IEnumVARIANT> Enum_;
    VARIANT Current_;
    bool AtEnd_ = true;
};

// The collection's enumerator (DISPID_NEWENUM asked for as method and as
// property); nil when the server gives none.
TIntf<IEnumVARIANT> CollectionEnumerator(IDispatch* dispatch);

// Registers "ActiveXObject" and "Enumerator" and fills the automation hooks.
void RegisterActiveXObjects(TJRuntime& runtime);
