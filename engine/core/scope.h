// Scope tables: the variables of a block, a call, a function declaration, a
// namespace and the engine's root, with the scope's `this` object and the
// temporaries that keep a statement's new objects alive. The evaluator reads
// and assigns variables through them; the root files function and namespace
// tables by their declaring node.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/support/hashtable.h"
#include "engine/core/jhash.h"
#include "engine/core/notify.h"
#include "engine/core/valuelist.h"

class TJObject;
class TJFunctionSymbolTable;
class TJGlobalSymbolTable;

// How AssignValue declares a name that no scope holds.
enum TJAssignMode : int {
    amGlobal = 0,    // in the nearest global (namespace) table
    amLocal = 1,     // in this table
    amFunction = 2,  // in the nearest function table, when absent there
};

// What one place of a script that names a variable learnt from its lookups.
// A lookup is a fixed sequence of probes (a table's variables, a scope
// object's keys); each probe that missed notes the stamp of what it probed,
// and the probe that found the name in a table's variables notes the table's
// stamp and the value. Stamps are drawn from one sequence and change with
// every name added or removed, so a stamp seen again at any probe means the
// same table or object in the same state: the same miss, or the same value.
struct TJNameCache {
    explicit TJNameCache(const AnsiString& name) : Hash(TCustomHashTable::HashOf(name)) {}
    static constexpr int Probes = 6;
    const unsigned Hash;  // the name's, worked out once
    uint64_t Misses[Probes] = {};
    int HitProbe = -1;
    uint64_t HitStamp = 0;
    TJValue* Hit = nullptr;
    // A call table's lookup past its own variables, which its function's
    // table answers alike for each of its calls with the same `this`: the
    // variable it found from the table of that Serial while LastChangeStamp
    // was Beyond (any change of names, links or calls that could move it
    // draws a stamp).
    uint64_t BeyondSerial = 0;
    const TJObject* BeyondThis = nullptr;
    uint64_t Beyond = 0;
    TJValue* BeyondHit = nullptr;
};

// A name looked up along a chain of tables, hashed once for all of them;
// with a cache, the probes whose stamps it knows are spared.
struct TJScopeName {
    explicit TJScopeName(const AnsiString& text) : Text(text), Hash(TCustomHashTable::HashOf(text)) {}
    TJScopeName(const AnsiString& text, TJNameCache& cache) : Text(text), Hash(cache.Hash), Cache(&cache) {}
    const AnsiString& Text;
    unsigned Hash;
    TJNameCache* Cache = nullptr;
    mutable int Probe = 0;  // the probes made so far
    // The variable a probe of tables' variables found the name in, and false
    // once a scope object was probed whose names have no stamp.
    mutable TJValue* Found = nullptr;
    mutable bool Stamped = true;
};

class TJLocalSymbolTable : public TJNotify {
    RTL_DECLARE_CLASS()
    explicit TJLocalSymbolTable(TJLocalSymbolTable* parent);
    ~TJLocalSymbolTable() override;

    // Writes a name that a table of the chain already holds, or that the
    // scope object has; false when none takes it.
    virtual bool SetValue(TJLocalSymbolTable* requester, const TJScopeName& name, const TJValue& value);
    // Reads a name along the chain: variables, scope object, parent.
    virtual bool GetValue(TJLocalSymbolTable* requester, const TJScopeName& name, TJValue& value);
    // Frees the child tables, drops `this`, clears temporaries and variables.
    virtual void Clear();
    // Copies every variable of the source that this table does not hold.
    virtual void CopyVariables(TJLocalSymbolTable* source);
    // A new call table (parent: this) at the end of CallTables, holding the
    // captured variables and the given `this`.
    TJLocalSymbolTable* PushLocalTable(TJLocalSymbolTable* captured, TJObject* self);
    void FreeNotify(TJNotify* peer) override;

    // Reads a name along the chain; false (and undefined) when no table has it.
    bool GetVariable(const AnsiString& name, TJValue& value);
    // The same for a place of a script that names the variable again and again.
    bool GetVariable(const AnsiString& name, TJNameCache& cache, TJValue& value);
    // The same for a call table's place that knows its variables miss the name.
    bool GetVariableBeyondOwn(const AnsiString& name, TJNameCache& cache, TJValue& value);
    // The variable GetVariableBeyondOwn would find when its cache tells
    // without a lookup; nil otherwise. The table it was pushed on answers its
    // calls alike: while no stamp is drawn, a call with the same scope object
    // finds the variable found last.
    const TJValue* KnownBeyondOwn(const TJNameCache& cache) const {
        bool pushed = Parent_ && PushedOn_ == Parent_;
        return pushed && cache.BeyondSerial == Parent_->Serial_ && cache.BeyondThis == This_ &&
                       cache.Beyond == LastChangeStamp()
                   ? cache.BeyondHit
                   : nullptr;
    }
    // This table's own variable of the name, which every read and write of
    // the name from here meets first (its stored value, to read or Replace
    // in place); nil when it has none or when calls on it are probed first.
    // A place that found it before needs one look at the cache.
    TJValue* OwnVariable(const AnsiString& name, TJNameCache& cache) {
        if (holdsOwnHit(cache)) return cache.Hit;
        return findOwnVariable(name, cache);
    }
    // OwnVariable's answer when the cache's look gives it; nil when that
    // would take a lookup.
    TJValue* CachedOwnVariable(const TJNameCache& cache) const { return holdsOwnHit(cache) ? cache.Hit : nullptr; }
    void AssignValue(const AnsiString& name, const TJValue& value, TJAssignMode mode);
    void RegisterLocalValue(const AnsiString& name, const TJValue& value);
    void RegisterStaticValue(const AnsiString& name, const TJValue& value);
    void RegisterGlobalValue(const AnsiString& name, const TJValue& value);
    TJGlobalSymbolTable* GetGlobalTable();
    TJFunctionSymbolTable* GetFunctionTable();
    // The nearest `this` up the chain.
    TJObject* GetThis();
    void SetThis(TJObject* object);
    void SetParent(TJLocalSymbolTable* table);
    // Frees the newest call table (clears it, keeping it for the next push).
    void PopLocalTable();
    void AddTemporary(TJObject* object, bool takeReference);
    void ClearTemporaries() {
        if (Temporaries_.Count() > 0) Temporaries_.Clear();
    }
    // A call's parameter, registered as a local variable whose value stays
    // reachable by its position (in the order registered) until the table
    // is cleared.
    void RegisterParameter(const AnsiString& name, const TJValue& value) {
        if (Bound_ < static_cast<int>(Parameters_.size()))
            Variables_.Replace(*Parameters_[static_cast<size_t>(Bound_++)], value);
        else
            registerNewParameter(name, value);
    }
    TJValue* Parameter(int position) {
        return position < Bound_ ? Parameters_[static_cast<size_t>(position)] : nullptr;
    }
    int ParameterCount() const { return Bound_; }
    // Whether the variables are the call's parameters and no other: a name
    // that is none of them is no variable of this table.
    bool HoldsOnlyParameters() const {
        return !SharedParameterName_ && Copies_.empty() && Variables_.Count() == Bound_;
    }
    // A number drawn at construction from one process-wide sequence: a cache
    // keyed on it cannot take a new table for a freed one at the same address.
    uint64_t Serial() const { return Serial_; }
    // The table whose newest call table this one is (nil when not a call table).
    TJLocalSymbolTable* PushedOn() const { return PushedOn_; }

    TJLocalSymbolTable* Parent() const { return Parent_; }
    TJHash& Variables() { return Variables_; }
    TJObject* This() const { return This_; }
    const std::vector<TJLocalSymbolTable*>& CallTables() const { return CallTables_; }
    TJValueList& Temporaries() { return Temporaries_; }

protected:
    // Steps 1-3 of a read, without the function table's call-table step.
    bool getLocal(const TJScopeName& name, TJValue& value);
    bool setLocal(const TJScopeName& name, const TJValue& value);
    bool isCallTable(TJLocalSymbolTable* table) const;
    // Probes of getLocal: true when it found the name (the value filled in).
    bool probeVariables(const TJScopeName& name, TJValue& value);
    bool probeThis(const TJScopeName& name, TJValue& value);
    // A lookup that is not one of this table's calls' passed here: from now
    // on the calls pushed and popped draw a stamp (what such lookups find
    // changes with them).
    bool SeenFromOutside_ = false;

private:
    TJValue* findOwnVariable(const AnsiString& name, TJNameCache& cache);
    // A parameter past those whose names a spare table kept.
    void registerNewParameter(const AnsiString& name, const TJValue& value);
    // The cache's hit is this table's own variable, still stored where it was.
    bool holdsOwnHit(const TJNameCache& cache) const {
        return cache.HitProbe == 0 && cache.HitStamp == Variables_.Stamp() && CallTables_.empty();
    }
    // The spare table linked to the `this` among the newest few (each such
    // table needs no relinking); SpareCount_ when none is.
    static constexpr size_t searchedSpares = 4;
    size_t spareOf(const TJObject* self) const {
        for (size_t i = SpareCount_; i-- > 0 && SpareCount_ - i <= searchedSpares;)
            if (SpareTables_[i]->This_ == self) return i;
        return SpareCount_;
    }
    // Whether this spare table's copies are those of the captured table
    // (nil: none), unchanged in names since (its variables change only in
    // value): restoreCopies gives them its values.
    bool copiesUnchanged(const TJLocalSymbolTable* captured) const {
        if (!captured) return CopiedSerial_ == 0;
        return captured->Serial_ == CopiedSerial_ && captured->Variables_.Stamp() == CopiedStamp_;
    }
    void restoreCopies() {
        for (const Copy& copy : Copies_) Variables_.Replace(*copy.Slot, *copy.Source);
    }
    // The parts of Clear: the call tables (and those kept), then the values.
    void clearCalls();
    void clearValues(bool keepParameterNames = false);
    void releaseKept();
    // A pushed call table's copies of the captured variables.
    void copyCaptured(TJLocalSymbolTable* captured);
    TJLocalSymbolTable* takeSpare(TJObject* self);
    void forgetNames();

    // What every variable read asks of the running call's table comes first.
    TJLocalSymbolTable* Parent_ = nullptr;
    TJLocalSymbolTable* PushedOn_ = nullptr;  // the table whose CallTables_ holds this one
    TJObject* This_ = nullptr;
    int Bound_ = 0;  // the parameters of the running call registered so far
    const uint64_t Serial_;
    // In Variables_. A call table kept spare with only its parameters' names
    // keeps these too: its function's next call, which registers the same
    // parameters in the same order, stores into them.
    std::vector<TJValue*> Parameters_;
    bool SharedParameterName_ = false;  // two parameters of one name share a variable
    // The same for the captured variables a call table copied (each slot of
    // the copy beside its source's), while the source's serial and stamp
    // below stay: a call with the same captured table restores their values.
    struct Copy {
        TJValue* Slot;
        const TJValue* Source;
    };
    std::vector<Copy> Copies_;
    uint64_t CopiedSerial_ = 0;
    uint64_t CopiedStamp_ = 0;
    TJHash Variables_;
    std::vector<TJLocalSymbolTable*> CallTables_;  // owned, newest last
    TJValueList Temporaries_;
    // Popped call tables, cleared, for the next pushes (owned): a call then
    // makes no table and its buckets. Enough for the unwinding and descents
    // of a recursion such as a tree walk.
    std::array<TJLocalSymbolTable*, 16> SpareTables_{};
    size_t SpareCount_ = 0;
};

// Inline, as PopLocalTable: every call pushes its table. A spare table whose
// copies of the captured variables are those of the same captured table
// takes their values again, and one linked to the same `this` needs no link.
inline TJLocalSymbolTable* TJLocalSymbolTable::PushLocalTable(TJLocalSymbolTable* captured, TJObject* self) {
    TJLocalSymbolTable* table = SpareCount_ > 0 ? takeSpare(self) : new TJLocalSymbolTable(this);
    if (SeenFromOutside_) NewChangeStamp();
    CallTables_.push_back(table);
    table->PushedOn_ = this;
    if (table->copiesUnchanged(captured)) table->restoreCopies();
    else table->copyCaptured(captured);
    if (table->This_ != self) table->SetThis(self);
    return table;
}

// A spare table linked to the call's `this` already needs no relinking;
// while there are few, a `this` none of them has gets a new table, so that
// methods called on a few objects in turn each find one.
inline TJLocalSymbolTable* TJLocalSymbolTable::takeSpare(TJObject* self) {
    size_t top = SpareCount_ - 1;
    size_t found = spareOf(self);
    if (found == SpareCount_ && SpareCount_ < searchedSpares) return new TJLocalSymbolTable(this);
    if (found != SpareCount_) std::swap(SpareTables_[found], SpareTables_[top]);
    --SpareCount_;
    return SpareTables_[top];
}

// Inline: every call pops its table. The table is cleared as its destruction
// would: its variables go in the same order, and it tells no one else of its
// end (its peers are this table and its `this`). A table kept for the next
// push keeps its `this` linked: no chain reaches it, and the next call of the
// same object then links nothing.
inline void TJLocalSymbolTable::PopLocalTable() {
    if (CallTables_.empty()) return;
    TJLocalSymbolTable* table = CallTables_.back();
    if (SeenFromOutside_) NewChangeStamp();
    CallTables_.pop_back();
    table->PushedOn_ = nullptr;
    bool spare = SpareCount_ < SpareTables_.size() && table->Parent_ == this;
    try {
        if (!table->CallTables_.empty() || table->SpareCount_ > 0) table->clearCalls();
        if (!spare) table->SetThis(nullptr);
        table->clearValues(spare);
    } catch (...) {
        // As in its destructor, a failed release is not reported.
    }
    if (spare && table->Parent_ == this) SpareTables_[SpareCount_++] = table;
    else delete table;
}

// A spare call table is pushed next on the same function (call tables with
// parameters are pushed only on their function's table, by its calls), whose
// calls register the same parameters: when they and the captured copies are
// all it holds, the names stay and only the values go, and the next call
// stores into them in place.
inline void TJLocalSymbolTable::clearValues(bool keepParameterNames) {
    ClearTemporaries();
    size_t named = Parameters_.size() + Copies_.size();
    bool keep = keepParameterNames && named > 0 && Bound_ == static_cast<int>(Parameters_.size()) &&
                static_cast<size_t>(Variables_.Count()) == named;
    Bound_ = 0;
    if (keep) {
        releaseKept();
        return;
    }
    forgetNames();
}

// The values of the names a spare table keeps go. A value that can free
// nothing but a text is cleared in its slot, in any order; at the first one
// that may free more, the rest go in the table's release order.
inline void TJLocalSymbolTable::releaseKept() {
    auto clear = [this](TJValue& value) {
        if (value.ValueType == vtObject || value.ValueType == vtFunction || value.ValueType == vtDispatch) {
            Variables_.ReleaseValues();
            return false;
        }
        MakeUndefined(value);
        return true;
    };
    for (TJValue* slot : Parameters_)
        if (!clear(*slot)) return;
    for (const Copy& copy : Copies_)
        if (!clear(*copy.Slot)) return;
}

// The scope of one function declaration; each call pushes its call table.
class TJFunctionSymbolTable : public TJLocalSymbolTable {
    RTL_DECLARE_CLASS()
    using TJLocalSymbolTable::TJLocalSymbolTable;
    // Whether the declaration's body names `arguments` (its calls then make
    // the array): the evaluator's finding at the first call, kept here for
    // the life of the declaration's table.
    std::optional<bool> NamesArguments;
    // A requester other than an own call table reads the newest call first.
    bool SetValue(TJLocalSymbolTable* requester, const TJScopeName& name, const TJValue& value) override;
    bool GetValue(TJLocalSymbolTable* requester, const TJScopeName& name, TJValue& value) override;
};

// The scope of a namespace (the program's top level included).
class TJGlobalSymbolTable : public TJFunctionSymbolTable {
    RTL_DECLARE_CLASS()
    using TJFunctionSymbolTable::TJFunctionSymbolTable;
};

struct TJStatement;

// The engine's root scope, with the function and namespace tables it owns.
class TJRootSymbolTable : public TJGlobalSymbolTable {
    RTL_DECLARE_CLASS()
    TJRootSymbolTable();
    ~TJRootSymbolTable() override;

    void Clear() override;
    // The table of the declaring node; made on first use with the enclosing
    // node's table (nil when none) as parent.
    TJFunctionSymbolTable* MakeFunctionTable(const TJStatement* enclosing, const TJStatement* declaring);
    // A new namespace table (parent: the root), filed under the name and the node.
    TJGlobalSymbolTable* AddNamespace(const AnsiString& name, const TJStatement* node);
    // The namespace's table; unknown names raise "ENameError".
    TJGlobalSymbolTable* FindNamespace(const AnsiString& name);

private:
    static AnsiString nodeKey(const TJStatement* node);
    struct NamespaceEntry {
        AnsiString Name;
        TJGlobalSymbolTable* Table;
    };
    int findNamespace(const AnsiString& name, bool& found) const;

    TObjectHashTable<TJLocalSymbolTable> FunctionTables_;
    std::vector<NamespaceEntry> Namespaces_;  // sorted by name without regard to case
};
