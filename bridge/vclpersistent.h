// TJVCLPersistent: the root of the GUI bridge's wrappers (TJVCLComponent,
// bridge/component.h, derives from it; InstallGUIBridge names it to the
// engine): the script object that stands for one object of the GUI library
// (a form, a control, a font), the object's published properties as script
// properties by name, a link that never outlives the object, and the
// operations through which the wrappers attach, create, check and release
// their objects.
#pragma once

#include <vector>

#include "engine/core/errors.h"
#include "engine/core/object.h"

class TPersistent;

class TJVCLPersistent : public TJObject {
    RTL_DECLARE_CLASS()
    TJVCLPersistent(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLPersistent() override;

    // The linked object; nil when none.
    TPersistent* VCL() const { return VCL_; }
    bool HasVCL() const { return VCL_ != nullptr; }
    AnsiString VCLclassName() const;

    // ---- Virtual operations ----
    // The script method "assign": copies the argument's object into this one.
    virtual void AssignVCL(TJValueList* args, TJValue& result);
    // Points the object's event fields at the wrapper's thunks.
    virtual void HookEvents();
    // Leaf classes create and attach their own owned object.
    virtual void CreateVCL();
    // Lets the object go (freed when owned); its names are forgotten.
    virtual void DetachVCL();
    // Prepares the wrapper's auxiliary objects.
    virtual void InitWrapper();
    // EVCLError "<VCLClass name> - <message>".
    [[noreturn]] void RaiseVCLError(const AnsiString& message);
    [[noreturn]] void RaiseArgumentsError();
    // "VCL is null" without an object; the arguments error with fewer than minimum.
    virtual void CheckVCL(TJValueList* args, int minimum);
    // Runs a GUI library call; its exceptions become EVCLError with their message.
    template <class F>
    void GuardVCL(F&& call) {
        try {
            call();
        } catch (const EJException&) {
            throw;
        } catch (const Exception& e) {
            RaiseVCLError(e.message());
        }
    }
    // Detaches, then links an object of VCLClass; false (nothing linked) otherwise.
    virtual bool AttachVCL(TPersistent* object, bool owned);
    // The class of the objects the wrapper accepts.
    virtual const TClassInfo* VCLClass() const;

    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) override;
    void GetPropertyList(std::vector<AnsiString>& list) override;
    // The wrapper of another GUI object read from this one lives for the statement.
    bool WrapsForRead(TJObject* member) const override;
    const TJMethodTable& Methods() const override;
    void FreeNotify(TJNotify* peer) override;

protected:
    // InitWrapper, then CreateVCL.
    void Construct(TJValueList* args) override;
    // Scripts reach the linked object's published properties by name (the
    // GUI bridge's wrappers); a wrapper answering false shows its own only,
    // among them the rows that forward to the object (the host's elements,
    // whose objects publish more than scripts may reach).
    virtual bool ShowsLinkedProperties() const { return true; }
    // A wrapper of a part of this one's object (a panel, a font), which
    // unlinks with this wrapper: it has no free notification of its own.
    void AddDependent(TJVCLPersistent* wrapper);
    // Forgets the object without freeing it (it is dying or let go); the
    // wrappers of its sub-objects forget theirs too, and Unlinked tells the
    // wrapper's other companions. The names stay, so their reads raise "VCL
    // is null".
    void DropLink();
    // The object is gone from this wrapper, by any road: what the wrapper
    // handed out for parts of it must let them go.
    virtual void Unlinked() {}

private:
    // A name of the linked object's published properties (not the wrapper's own).
    bool isLinkedName(const AnsiString& name) const;
    void readLinked(const AnsiString& name, TJValue& value);

    TPersistent* VCL_ = nullptr;
    bool Owned_ = false;
    // Wrappers of sub-objects (a font, a string list) read from this one's
    // object: they have no free notification of their own, so they unlink
    // with this wrapper.
    std::vector<TJVCLPersistent*> Dependents_;
};

// The object as a GUI wrapper; nil when it is none.
TJVCLPersistent* WrapperOfObject(TJObject* object);
// The GUI wrapper a value holds; nil when none.
TJVCLPersistent* WrapperOfValue(const TJValue& value);
