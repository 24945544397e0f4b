// TPersistent: the base of every object that can be copied from another with
// Assign and whose published properties are reflected and streamed (GUI objects, the
// script engine's objects). TComponent and the GUI classes derive from it.
#pragma once

#include "rtl/exceptions.h"
#include "rtl/reflection.h"

class TFiler;

class TPersistent : public TObject {
    RTL_DECLARE_CLASS()

    // Copies the source into this object. The base lets the source try
    // (AssignTo); a pair that neither side supports raises EConvertError.
    virtual void Assign(const TPersistent* source);
    // Form streams: the properties beyond the published ones that the
    // object reads and writes itself (a string list's "Strings"), each named
    // to the filer with its own read and write (rtl/filer.h).
    virtual void DefineProperties(TFiler& /*filer*/) {}

protected:
    virtual void AssignTo(TPersistent* dest) const;
    [[noreturn]] void raiseAssignError(const TPersistent* source) const;
};
