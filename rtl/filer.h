// Components to and from form streams: the filer that DefineProperties is
// given, WriteComponent (a root with the components GetChildren gives, their
// stored non-default published properties and defined properties) and
// ReadComponent (the stream's components made by registered class name,
// owned by the root, placed in their stream parents, properties set, event
// lines skipped, component references fixed up once all are read). The form
// wrapper of the bridge loads and saves forms through these.
#pragma once

#include <functional>

#include "rtl/component.h"
#include "rtl/formformat.h"

// What DefineProperties names its own properties to. Reading calls read with
// the value when the stream holds the name; writing calls write when hasData
// says there is something to write.
class TFiler {
public:
    using TReadProc = std::function<void(const TFormValue&)>;
    using TWriteProc = std::function<TFormValue()>;
    virtual void DefineProperty(const char* name, const TReadProc& read, const TWriteProc& write, bool hasData) = 0;

protected:
    ~TFiler() = default;
};

// The root and what it holds as a form. A reference to a component is
// written by name when the component is the root or one of the components
// written with it; other references are left out.
TFormObject WriteComponentTree(TComponent* root);
// Reads the form into root: the header's class and name are not checked
// against it and its name stays. EClassNotFound for a class that is not
// registered, before anything changes; EReadError names the component and
// property that failed, and the components made before it stay with root.
// Every component read is Loaded afterwards.
void ReadComponentTree(const TFormObject& form, TComponent* root);

// The binary format from and to a stream.
void WriteComponent(TStream& stream, TComponent* root);
void ReadComponent(TStream& stream, TComponent* root);
