// Scope tables: lookup and assignment along the chain (variables, scope
// object, parent), the call tables of function tables, declaration by mode,
// and the root's function and namespace tables.
#include "engine/core/scope.h"

#include <cstring>
#include <utility>

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "engine/support/hashtable.h"
#include "rtl/numtext.h"

const TClassInfo TJLocalSymbolTable::classInfo = makeClassInfo("TJLocalSymbolTable", &TJNotify::classInfo);
const TClassInfo TJFunctionSymbolTable::classInfo =
    makeClassInfo("TJFunctionSymbolTable", &TJLocalSymbolTable::classInfo);
const TClassInfo TJGlobalSymbolTable::classInfo =
    makeClassInfo("TJGlobalSymbolTable", &TJFunctionSymbolTable::classInfo);
const TClassInfo TJRootSymbolTable::classInfo = makeClassInfo("TJRootSymbolTable", &TJGlobalSymbolTable::classInfo);

namespace {
constexpr int variableBuckets = 31;
constexpr int functionTableBuckets = 53;
// Lexical nesting far beyond any script: a broken parent chain.
constexpr int maxChainDepth = 10000;
}  // namespace

// ==== Local tables ====

TJLocalSymbolTable::TJLocalSymbolTable(TJLocalSymbolTable* parent)
    : Serial_(NewChangeStamp()), Variables_(variableBuckets) {
    SetParent(parent);
}

TJLocalSymbolTable::~TJLocalSymbolTable() {
    try {
        Clear();
    } catch (...) {
        // Releasing variables cannot fail in a way a destructor could report.
    }
    notifyPeers();
}

void TJLocalSymbolTable::SetParent(TJLocalSymbolTable* table) {
    if (table == Parent_) return;
    if (Parent_) {
        Parent_->RemoveFreeNotify(this);
        RemoveFreeNotify(Parent_);
    }
    NewChangeStamp();  // lookups from here go elsewhere
    Parent_ = table;
    if (Parent_) AddFreeNotify(Parent_);
}

void TJLocalSymbolTable::SetThis(TJObject* object) {
    if (object == This_) return;
    if (This_) {
        This_->RemoveFreeNotify(this);
        RemoveFreeNotify(This_);
    }
    NewChangeStamp();  // lookups through here probe another object
    This_ = object;
    if (This_) AddFreeNotify(This_);
}

void TJLocalSymbolTable::FreeNotify(TJNotify* peer) {
    TJNotify::FreeNotify(peer);
    if (peer != This_ && peer != Parent_) return;
    NewChangeStamp();
    if (peer == This_) This_ = nullptr;
    if (peer == Parent_) Parent_ = nullptr;
}

inline bool TJLocalSymbolTable::probeVariables(const TJScopeName& name, TJValue& value) {
    TJNameCache* cache = name.Cache;
    int probe = name.Probe++;
    if (cache && probe < TJNameCache::Probes) {
        uint64_t stamp = Variables_.Stamp();
        if (probe == cache->HitProbe && stamp == cache->HitStamp) {
            value = *cache->Hit;
            name.Found = cache->Hit;
            return true;
        }
        if (cache->Misses[probe] == stamp) return false;
    }
    TJValue* found = Variables_.FindValue(name.Text, name.Hash);
    if (cache && probe < TJNameCache::Probes) {
        if (!found) cache->Misses[probe] = Variables_.Stamp();
        else {
            cache->HitProbe = probe;
            cache->HitStamp = Variables_.Stamp();
            cache->Hit = found;
        }
    }
    if (found) value = *found;
    name.Found = found;
    return found != nullptr;
}

// A lookup's first probe is this table's variables unless calls on it come
// first: the probe is noted in the cache as a lookup would note it.
TJValue* TJLocalSymbolTable::findOwnVariable(const AnsiString& name, TJNameCache& cache) {
    if (!CallTables_.empty()) return nullptr;
    TJValue value;
    return probeVariables(TJScopeName(name, cache), value) ? cache.Hit : nullptr;
}

bool TJLocalSymbolTable::probeThis(const TJScopeName& name, TJValue& value) {
    TJNameCache* cache = name.Cache;
    int probe = name.Probe++;
    uint64_t stamp = cache ? This_->ScopeKeysStamp() : 0;
    if (!stamp) name.Stamped = false;
    bool noted = stamp && probe < TJNameCache::Probes;
    if (noted && cache->Misses[probe] == stamp) return false;
    if (This_->FindScopeName(name.Text, value)) return true;
    if (noted) cache->Misses[probe] = stamp;
    return false;
}

// Every lookup passes here for each table of its chain.
inline bool TJLocalSymbolTable::getLocal(const TJScopeName& name, TJValue& value) {
    return probeVariables(name, value) || (This_ && probeThis(name, value));
}

bool TJLocalSymbolTable::setLocal(const TJScopeName& name, const TJValue& value) {
    if (TJValue* slot = Variables_.FindValue(name.Text, name.Hash)) {
        Variables_.Replace(*slot, value);
        return true;
    }
    if (This_ && This_->HasKey(name.Text)) {
        This_->SetValue(name.Text, value);
        return true;
    }
    return false;
}

bool TJLocalSymbolTable::GetValue(TJLocalSymbolTable*, const TJScopeName& name, TJValue& value) {
    if (getLocal(name, value)) return true;
    return Parent_ && Parent_->GetValue(this, name, value);
}

bool TJLocalSymbolTable::SetValue(TJLocalSymbolTable*, const TJScopeName& name, const TJValue& value) {
    if (setLocal(name, value)) return true;
    return Parent_ && Parent_->SetValue(this, name, value);
}

bool TJLocalSymbolTable::GetVariable(const AnsiString& name, TJValue& value) {
    if (GetValue(this, TJScopeName(name), value)) return true;
    MakeUndefined(value);
    return false;
}

bool TJLocalSymbolTable::GetVariable(const AnsiString& name, TJNameCache& cache, TJValue& value) {
    if (GetValue(this, TJScopeName(name, cache), value)) return true;
    MakeUndefined(value);
    return false;
}

// A call table's variables are the first probe of its lookups, and call
// tables are plain local tables: the rest of the walk is its scope object's
// keys and its parent's chain, whose answer the cache keeps (KnownBeyondOwn).
bool TJLocalSymbolTable::GetVariableBeyondOwn(const AnsiString& name, TJNameCache& cache, TJValue& value) {
    if (const TJValue* known = KnownBeyondOwn(cache)) {
        value = *known;
        return true;
    }
    bool pushed = Parent_ && PushedOn_ == Parent_;
    uint64_t stamp = LastChangeStamp();
    TJScopeName scoped(name, cache);
    scoped.Probe = 1;
    if (!(This_ && probeThis(scoped, value)) && !(Parent_ && Parent_->GetValue(this, scoped, value))) {
        MakeUndefined(value);
        return false;
    }
    if (pushed && scoped.Found && scoped.Stamped && LastChangeStamp() == stamp) {
        cache.BeyondSerial = Parent_->Serial_;
        cache.BeyondThis = This_;
        cache.Beyond = stamp;
        cache.BeyondHit = scoped.Found;
    }
    return true;
}

void TJLocalSymbolTable::AssignValue(const AnsiString& name, const TJValue& value, TJAssignMode mode) {
    if (SetValue(nullptr, TJScopeName(name), value)) return;
    switch (mode) {
    case amLocal:
        RegisterLocalValue(name, value);
        break;
    case amFunction:
        RegisterStaticValue(name, value);
        break;
    default:
        RegisterGlobalValue(name, value);
        break;
    }
}

void TJLocalSymbolTable::RegisterLocalValue(const AnsiString& name, const TJValue& value) {
    Variables_.SetValue(name, value);
}

void TJLocalSymbolTable::registerNewParameter(const AnsiString& name, const TJValue& value) {
    Parameters_.push_back(nullptr);
    int count = Variables_.Count();
    Parameters_.back() = Variables_.SetValue(name, value);
    if (Variables_.Count() == count) SharedParameterName_ = true;
    ++Bound_;
}

void TJLocalSymbolTable::RegisterStaticValue(const AnsiString& name, const TJValue& value) {
    TJFunctionSymbolTable* table = GetFunctionTable();
    if (table && !table->Variables().HasKey(name)) table->Variables().SetValue(name, value);
}

void TJLocalSymbolTable::RegisterGlobalValue(const AnsiString& name, const TJValue& value) {
    if (TJGlobalSymbolTable* table = GetGlobalTable()) table->Variables().SetValue(name, value);
}

TJGlobalSymbolTable* TJLocalSymbolTable::GetGlobalTable() {
    int depth = 0;
    for (TJLocalSymbolTable* t = this; t && depth < maxChainDepth; t = t->Parent_, ++depth)
        if (t->InheritsFrom(&TJGlobalSymbolTable::classInfo)) return static_cast<TJGlobalSymbolTable*>(t);
    return nullptr;
}

TJFunctionSymbolTable* TJLocalSymbolTable::GetFunctionTable() {
    int depth = 0;
    for (TJLocalSymbolTable* t = this; t && depth < maxChainDepth; t = t->Parent_, ++depth)
        if (t->InheritsFrom(&TJFunctionSymbolTable::classInfo)) return static_cast<TJFunctionSymbolTable*>(t);
    return nullptr;
}

TJObject* TJLocalSymbolTable::GetThis() {
    int depth = 0;
    for (TJLocalSymbolTable* t = this; t && depth < maxChainDepth; t = t->Parent_, ++depth)
        if (t->This_) return t->This_;
    return nullptr;
}

void TJLocalSymbolTable::Clear() {
    clearCalls();
    SetThis(nullptr);
    clearValues();
}

void TJLocalSymbolTable::clearCalls() {
    while (!CallTables_.empty()) PopLocalTable();
    while (SpareCount_ > 0) delete SpareTables_[--SpareCount_];
}

void TJLocalSymbolTable::forgetNames() {
    Parameters_.clear();
    SharedParameterName_ = false;
    Copies_.clear();
    CopiedSerial_ = 0;
    Variables_.Clear();
}

void TJLocalSymbolTable::CopyVariables(TJLocalSymbolTable* source) {
    if (!source || source == this) return;
    source->Variables_.ForEachValue([this](const AnsiString& name, const TJValue& value) {
        if (!Variables_.FindValue(name)) Variables_.SetValue(name, value);
    });
}

// The captured variables are a call's own: copies, which die with the call.
// Made anew for another source, or one whose names changed (copies of an
// unchanged source take its values again: restoreCopies).
void TJLocalSymbolTable::copyCaptured(TJLocalSymbolTable* captured) {
    if (CopiedSerial_) forgetNames();
    if (!captured) return;
    CopiedSerial_ = captured->Serial_;
    CopiedStamp_ = captured->Variables_.Stamp();
    captured->Variables_.ForEachValue([this](const AnsiString& name, const TJValue& value) {
        if (!Variables_.FindValue(name)) Copies_.push_back(Copy{Variables_.SetValue(name, value), &value});
    });
}

void TJLocalSymbolTable::AddTemporary(TJObject* object, bool takeReference) {
    Temporaries_.AddObject(object, takeReference);
}

bool TJLocalSymbolTable::isCallTable(TJLocalSymbolTable* table) const {
    return table && table->PushedOn_ == this;
}

// ==== Function tables ====

// A call table whose parent is this table has walked the whole chain when it
// fails; only a call table hung elsewhere leaves this table's own walk to do.
bool TJFunctionSymbolTable::GetValue(TJLocalSymbolTable* requester, const TJScopeName& name, TJValue& value) {
    if (!isCallTable(requester)) {
        SeenFromOutside_ = true;
        if (!CallTables().empty()) {
            TJLocalSymbolTable* call = CallTables().back();
            if (call->GetValue(this, name, value)) return true;
            if (call->Parent() == this) return false;
        }
    }
    return TJLocalSymbolTable::GetValue(requester, name, value);
}

bool TJFunctionSymbolTable::SetValue(TJLocalSymbolTable* requester, const TJScopeName& name,
                                     const TJValue& value) {
    if (!CallTables().empty() && !isCallTable(requester)) {
        TJLocalSymbolTable* call = CallTables().back();
        if (call->SetValue(this, name, value)) return true;
        if (call->Parent() == this) return false;
    }
    return TJLocalSymbolTable::SetValue(requester, name, value);
}

// ==== Root ====

TJRootSymbolTable::TJRootSymbolTable()
    : TJGlobalSymbolTable(nullptr), FunctionTables_(functionTableBuckets, false) {}

TJRootSymbolTable::~TJRootSymbolTable() {
    try {
        Clear();
    } catch (...) {
        // Releasing variables cannot fail in a way a destructor could report.
    }
}

void TJRootSymbolTable::Clear() {
    TJGlobalSymbolTable::Clear();
    Namespaces_.clear();
    FunctionTables_.Clear();
}

AnsiString TJRootSymbolTable::nodeKey(const TJStatement* node) {
    return intToText(static_cast<long long>(reinterpret_cast<uintptr_t>(node)));
}

TJFunctionSymbolTable* TJRootSymbolTable::MakeFunctionTable(const TJStatement* enclosing,
                                                            const TJStatement* declaring) {
    AnsiString key = nodeKey(declaring);
    if (TJLocalSymbolTable* table = FunctionTables_.GetValue(key)) return static_cast<TJFunctionSymbolTable*>(table);
    TJLocalSymbolTable* parent = enclosing ? FunctionTables_.GetValue(nodeKey(enclosing)) : nullptr;
    auto* table = new TJFunctionSymbolTable(parent);
    FunctionTables_.SetValue(key, table);
    return table;
}

namespace {
int compareNames(const AnsiString& a, const AnsiString& b) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.length()), b.c_str(),
                           static_cast<int>(b.length()));
    return r == CSTR_LESS_THAN ? -1 : r == CSTR_GREATER_THAN ? 1 : 0;
}
}  // namespace

int TJRootSymbolTable::findNamespace(const AnsiString& name, bool& found) const {
    int lo = 0, hi = static_cast<int>(Namespaces_.size()) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = compareNames(Namespaces_[mid].Name, name);
        if (c == 0) { found = true; return mid; }
        if (c < 0) lo = mid + 1;
        else hi = mid - 1;
    }
    found = false;
    return lo;
}

TJGlobalSymbolTable* TJRootSymbolTable::AddNamespace(const AnsiString& name, const TJStatement* node) {
    AnsiString key = nodeKey(node);
    // A table filed before under the same node goes; no name may keep it.
    if (TJLocalSymbolTable* old = FunctionTables_.GetValue(key))
        std::erase_if(Namespaces_, [old](const NamespaceEntry& e) { return e.Table == old; });
    auto* table = new TJGlobalSymbolTable(this);
    FunctionTables_.SetValue(key, table);
    bool found;
    int index = findNamespace(name, found);
    if (found) Namespaces_[index].Table = table;
    else Namespaces_.insert(Namespaces_.begin() + index, NamespaceEntry{name, table});
    return table;
}

TJGlobalSymbolTable* TJRootSymbolTable::FindNamespace(const AnsiString& name) {
    bool found;
    int index = findNamespace(name, found);
    if (!found) raiseScriptError("ENameError", "namespace not found: " + name);
    return Namespaces_[index].Table;
}
