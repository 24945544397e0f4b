// Mapping components onto the form tree of rtl/formformat.h and back: the
// published properties by kind with their default and stored rules, dotted
// paths into persistent sub-objects, collections, the filer's defined
// properties, and the reference fixups of a read.
#include "rtl/filer.h"

#include "rtl/collection.h"

namespace {

[[noreturn]] void invalidValue() { throw EReadError("Invalid property value"); }

const TIntegerIdent* identOf(const TPropInfo* prop, int64_t value) {
    const TIntegerIdents* idents = prop->Kind == TTypeKind::Integer ? prop->integerIdents() : nullptr;
    for (int i = 0; idents && i < idents->Count; ++i)
        if (idents->Items[i].Value == value) return &idents->Items[i];
    return nullptr;
}

bool identValue(const TPropInfo* prop, std::string_view name, int64_t& value) {
    const TIntegerIdents* idents = prop->Kind == TTypeKind::Integer ? prop->integerIdents() : nullptr;
    for (int i = 0; idents && i < idents->Count; ++i)
        if (SameName(idents->Items[i].Name, name)) return value = idents->Items[i].Value, true;
    return false;
}

// ==== Writing ====

class WriteFiler final : public TFiler {
public:
    WriteFiler(const std::string& prefix, std::vector<TFormProperty>& out) : prefix_(prefix), out_(out) {}
    void DefineProperty(const char* name, const TReadProc&, const TWriteProc& write, bool hasData) override {
        if (hasData) out_.push_back({prefix_ + name, write()});
    }

private:
    const std::string& prefix_;
    std::vector<TFormProperty>& out_;
};

class FormWriter {
public:
    explicit FormWriter(TComponent* root) : root_(root) {}

    TFormObject object(TComponent* component) {
        TFormObject form;
        form.ClassName = component->ClassName();
        form.Name = component->Name().str();
        properties(component, std::string(), form.Properties, 0);
        component->GetChildren([&](TComponent* child) { form.Children.push_back(object(child)); }, root_);
        return form;
    }

private:
    // Sub-objects hold sub-objects only a few levels deep; the cap keeps a
    // cycle of them from running away.
    static constexpr int maxPath = 8;

    void properties(TPersistent* instance, const std::string& prefix, std::vector<TFormProperty>& out, int depth) {
        for (const TPropInfo* prop : GetPropInfos(instance->ClassType())) {
            if (prop->isMethod() || !prop->Get || (prop->Stored && !prop->Stored(instance))) continue;
            TPropValue value;
            prop->Get(instance, value);
            if (prop->Kind == TTypeKind::Class) {
                classProperty(prop, value.Object, prefix, out, depth);
                continue;
            }
            TFormValue written;
            if (prop->Set && simpleValue(prop, value, written)) out.push_back({prefix + prop->Name, std::move(written)});
        }
        WriteFiler filer(prefix, out);
        instance->DefineProperties(filer);
    }

    // False when the value is the property's default.
    static bool simpleValue(const TPropInfo* prop, const TPropValue& value, TFormValue& out) {
        switch (prop->Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Enumeration:
        case TTypeKind::Set:
            if (prop->Default != TPropInfo::NoDefault && value.Ordinal == prop->Default) return false;
            break;
        case TTypeKind::Char:
        case TTypeKind::Int64:
            if (value.Ordinal == 0) return false;
            break;
        default: break;
        }
        switch (prop->Kind) {
        case TTypeKind::Integer:
            if (const TIntegerIdent* ident = identOf(prop, value.Ordinal)) out = TFormValue::ident(ident->Name);
            else out = TFormValue::integer(value.Ordinal);
            return true;
        case TTypeKind::Int64: out = TFormValue::integer(value.Ordinal); return true;
        case TTypeKind::Char: out = TFormValue::string(std::string(1, static_cast<char>(value.Ordinal))); return true;
        case TTypeKind::Enumeration:
            if (prop->enumInfo() == &BooleanTypeInfo) out = TFormValue::boolean(value.Ordinal != 0);
            else out = TFormValue::ident(GetEnumName(prop->enumInfo(), value.Ordinal).view());
            return !out.Text.empty() || out.Type != TFormValue::Ident;
        case TTypeKind::Set: {
            out.Type = TFormValue::Set;
            const TEnumInfo* elements = prop->setInfo()->Elements;
            uint32_t bits = static_cast<uint32_t>(value.Ordinal) & SetMask(prop->setInfo());
            for (int i = 0; i < elements->Count && i < 32; ++i)
                if (bits & (1u << i)) out.Names.emplace_back(elements->Names[i]);
            return true;
        }
        case TTypeKind::Float:
            if (value.Float == 0) return false;
            out.Type = TFormValue::Float;
            out.Number = value.Float;
            return true;
        case TTypeKind::String:
            if (value.Str.empty()) return false;
            out = TFormValue::string(value.Str.view());
            return true;
        default: return false;
        }
    }

    void classProperty(const TPropInfo* prop, TObject* object, const std::string& prefix,
                       std::vector<TFormProperty>& out, int depth) {
        if (!object) return;
        if (object->InheritsFrom(&TComponent::classInfo)) {
            auto* component = static_cast<TComponent*>(object);
            if (prop->Set && isWritten(component) && !component->Name().empty())
                out.push_back({prefix + prop->Name, TFormValue::ident(component->Name().view())});
        } else if (object->InheritsFrom(&TCollection::classInfo)) {
            auto* collection = static_cast<TCollection*>(object);
            if (collection->Count() == 0) return;
            TFormValue value;
            value.Type = TFormValue::Collection;
            for (int i = 0; i < collection->Count(); ++i) {
                value.CollectionItems.emplace_back();
                properties(collection->Items(i), std::string(), value.CollectionItems.back().Properties, depth + 1);
            }
            out.push_back({prefix + prop->Name, std::move(value)});
        } else if (object->InheritsFrom(&TPersistent::classInfo) && depth < maxPath) {
            properties(static_cast<TPersistent*>(object), prefix + prop->Name + ".", out, depth + 1);
        }
    }

    // The root, a component it owns, or one placed inside it (an unowned
    // control on the form) is written with it.
    bool isWritten(TComponent* component) const {
        if (component == root_ || component->Owner() == root_) return true;
        if (component->Owner()) return false;
        for (TComponent* c = component->GetParentComponent(); c; c = c->GetParentComponent())
            if (c == root_) return true;
        return false;
    }

    TComponent* root_;
};

// ==== Reading ====

class ReadFiler final : public TFiler {
public:
    ReadFiler(std::string_view name, const TFormValue& value) : name_(name), value_(value) {}
    void DefineProperty(const char* name, const TReadProc& read, const TWriteProc&, bool) override {
        if (found_ || !SameName(name, name_)) return;
        found_ = true;
        read(value_);
    }
    bool found() const { return found_; }

private:
    std::string_view name_;
    const TFormValue& value_;
    bool found_ = false;
};

class FormReader {
public:
    explicit FormReader(TComponent* root) : root_(root) {}

    // The root is held alive, as handlers that run while it loads may free it.
    // Every class is looked up first, so that an unknown one changes nothing.
    void read(const TFormObject& form) {
        checkClasses(form);
        TKeepAlive hold(root_);
        startLoading(root_);
        try {
            object(root_, form);
            resolveFixups();
        } catch (...) {
            endLoading();
            throw;
        }
        endLoading();
    }

private:
    struct Fixup {
        TPersistent* instance;
        const TPropInfo* prop;
        std::string reference, where;
    };

    static void checkClasses(const TFormObject& form) {
        for (const TFormObject& child : form.Children) {
            if (!(child.Flags & ffInherited)) FindClass(child.ClassName);
            checkClasses(child);
        }
    }

    static AnsiString nameOf(TComponent* component) {
        return component->Name().empty() ? AnsiString(component->ClassName()) : component->Name();
    }

    void startLoading(TComponent* component) {
        component->SetLoading();
        loaded_.push_back(component);
    }
    void endLoading() {
        for (TComponent* component : loaded_) component->Loaded();
        loaded_.clear();
    }

    void object(TComponent* instance, const TFormObject& form) {
        for (const TFormProperty& prop : form.Properties) {
            try {
                property(instance, prop);
            } catch (const Exception& e) {
                throw EReadError("Error reading " + nameOf(instance) + "." + prop.Name + ": " + e.message());
            }
        }
        for (const TFormObject& child : form.Children) this->child(instance, child);
    }

    void child(TComponent* parent, const TFormObject& form) {
        TComponent* component = (form.Flags & (ffInherited | ffInline)) ? root_->FindComponent(form.Name) : nullptr;
        if (!component && (form.Flags & ffInherited))
            throw EReadError("A component named " + AnsiString(form.Name) + " does not exist");
        if (!component) {
            const TClassInfo* cls = FindClass(form.ClassName);
            component = CreateComponent(cls, root_);
            try {
                component->SetName(AnsiString(form.Name));
            } catch (...) {
                component->Free();
                throw;
            }
        }
        startLoading(component);
        component->SetParentComponent(parent);
        object(component, form);
    }

    // A dotted name walks into persistent sub-objects; the last part may be
    // one the object defines itself.
    void property(TComponent* component, const TFormProperty& prop) {
        TPersistent* instance = component;
        std::string_view name = prop.Name;
        for (size_t dot; (dot = name.find('.')) != std::string_view::npos; name.remove_prefix(dot + 1)) {
            const TPropInfo* info = GetPropInfo(instance->ClassType(), name.substr(0, dot));
            TPropValue value;
            if (!info || info->Kind != TTypeKind::Class || !ReadProp(instance, info, value))
                throw EReadError("Property " + AnsiString(name.substr(0, dot)) + " does not exist");
            if (!value.Object || !value.Object->InheritsFrom(&TPersistent::classInfo) ||
                value.Object->InheritsFrom(&TComponent::classInfo))
                invalidValue();
            instance = static_cast<TPersistent*>(value.Object);
        }
        ReadFiler filer(name, prop.Value);
        instance->DefineProperties(filer);
        if (filer.found()) return;
        const TPropInfo* info = GetPropInfo(instance->ClassType(), name);
        if (!info) throw EReadError("Property " + AnsiString(name) + " does not exist");
        if (info->isMethod()) return;  // event lines name methods of a form class we do not have
        if (info->Kind == TTypeKind::Class) return classProperty(component, instance, info, prop);
        TPropValue value;
        simpleValue(info, prop.Value, value);
        if (!WriteProp(instance, info, value)) throw EReadError("Property " + AnsiString(name) + " is read-only");
    }

    static void simpleValue(const TPropInfo* info, const TFormValue& v, TPropValue& out) {
        switch (info->Kind) {
        case TTypeKind::Integer:
            if (v.Type == TFormValue::Ident && identValue(info, v.Text, out.Ordinal)) return;
            if (v.Type != TFormValue::Integer || v.Int < INT32_MIN || v.Int > UINT32_MAX) invalidValue();
            out.Ordinal = static_cast<int32_t>(v.Int);
            return;
        case TTypeKind::Int64:
            if (v.Type != TFormValue::Integer) invalidValue();
            out.Ordinal = v.Int;
            return;
        case TTypeKind::Char:
            if (v.Type == TFormValue::String && v.Text.size() == 1) out.Ordinal = static_cast<unsigned char>(v.Text[0]);
            else if (v.Type == TFormValue::Integer && v.Int >= 0 && v.Int < 256) out.Ordinal = v.Int;
            else invalidValue();
            return;
        case TTypeKind::Enumeration:
            if (info->enumInfo() == &BooleanTypeInfo && (v.Type == TFormValue::False || v.Type == TFormValue::True))
                out.Ordinal = v.Type == TFormValue::True;
            else if (v.Type != TFormValue::Ident || (out.Ordinal = GetEnumValue(info->enumInfo(), v.Text)) < 0)
                invalidValue();
            return;
        case TTypeKind::Set: {
            if (v.Type != TFormValue::Set) invalidValue();
            uint32_t bits = 0;
            for (const std::string& element : v.Names) {
                int ordinal = GetEnumValue(info->setInfo()->Elements, element);
                if (ordinal < 0 || ordinal >= 32 || !((1u << ordinal) & SetMask(info->setInfo()))) invalidValue();
                bits |= 1u << ordinal;
            }
            out.Ordinal = bits;
            return;
        }
        case TTypeKind::Float:
            if (v.Type == TFormValue::Float) out.Float = v.Number;
            else if (v.Type == TFormValue::Integer) out.Float = static_cast<double>(v.Int);
            else invalidValue();
            return;
        case TTypeKind::String:
            if (v.Type != TFormValue::String) invalidValue();
            out.Str = AnsiString(v.Text);
            return;
        default: invalidValue();
        }
    }

    void classProperty(TComponent* component, TPersistent* instance, const TPropInfo* info,
                       const TFormProperty& prop) {
        bool reference = info->classRef()->InheritsFrom(&TComponent::classInfo);
        if (reference && (prop.Value.Type == TFormValue::Ident || prop.Value.Type == TFormValue::Nil)) {
            if (!info->Set) throw EReadError("Property " + AnsiString(info->Name) + " is read-only");
            if (prop.Value.Type == TFormValue::Ident) {
                fixups_.push_back({instance, info, prop.Value.Text, nameOf(component).str() + "." + prop.Name});
            } else {
                TPropValue nil;
                WriteProp(instance, info, nil);
            }
            return;
        }
        TPropValue current;
        ReadProp(instance, info, current);
        if (prop.Value.Type != TFormValue::Collection || !current.Object ||
            !current.Object->InheritsFrom(&TCollection::classInfo))
            invalidValue();
        collection(static_cast<TCollection*>(current.Object), prop.Value);
    }

    // Items are read in stream order into a collection emptied first; an
    // item's properties are plain or dotted, never references.
    void collection(TCollection* target, const TFormValue& value) {
        target->BeginUpdate();
        try {
            target->Clear();
            for (const TFormValue::Item& item : value.CollectionItems) {
                TCollectionItem* added = target->Add();
                for (const TFormProperty& prop : item.Properties) itemProperty(added, prop);
            }
        } catch (...) {
            target->EndUpdate();
            throw;
        }
        target->EndUpdate();
    }

    void itemProperty(TCollectionItem* item, const TFormProperty& prop) {
        const TPropInfo* info = GetPropInfo(item->ClassType(), prop.Name);
        if (!info) throw EReadError("Property " + AnsiString(prop.Name) + " does not exist");
        if (info->isMethod()) return;
        if (info->Kind == TTypeKind::Class) invalidValue();
        TPropValue value;
        simpleValue(info, prop.Value, value);
        if (!WriteProp(item, info, value)) throw EReadError("Property " + AnsiString(prop.Name) + " is read-only");
    }

    // A reference names the root, a component of the root, or either after
    // the root's name and a dot.
    TComponent* resolve(std::string_view reference) const {
        size_t dot = reference.find('.');
        if (dot != std::string_view::npos) {
            if (!SameName(reference.substr(0, dot), root_->Name().view())) return nullptr;
            reference.remove_prefix(dot + 1);
        }
        if (!root_->Name().empty() && SameName(reference, root_->Name().view())) return root_;
        return root_->FindComponent(reference);
    }

    void resolveFixups() {
        for (const Fixup& fixup : fixups_) {
            TComponent* target = resolve(fixup.reference);
            if (!target || !target->InheritsFrom(fixup.prop->classRef()))
                throw EReadError("Error reading " + AnsiString(fixup.where) + ": Invalid reference " +
                                 AnsiString(fixup.reference));
            TPropValue value;
            value.Object = target;
            WriteProp(fixup.instance, fixup.prop, value);
        }
    }

    TComponent* root_;
    std::vector<TComponent*> loaded_;
    std::vector<Fixup> fixups_;
};

}  // namespace

TFormObject WriteComponentTree(TComponent* root) { return FormWriter(root).object(root); }

void ReadComponentTree(const TFormObject& form, TComponent* root) { FormReader(root).read(form); }

void WriteComponent(TStream& stream, TComponent* root) { writeBinaryForm(stream, WriteComponentTree(root)); }

void ReadComponent(TStream& stream, TComponent* root) { ReadComponentTree(readBinaryForm(stream), root); }
