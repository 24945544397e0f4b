// TPersistent: the base of every object that can be copied from another with
// Assign and whose published properties are reflected (GUI objects, the
// script engine's objects). TComponent and the GUI classes derive from it.
#pragma once

#include "rtl/exceptions.h"
#include "rtl/reflection.h"

class TPersistent : public TObject {
    RTL_DECLARE_CLASS()

    // Copies the source into this object. The base lets the source try
    // (AssignTo); a pair that neither side supports raises EConvertError.
    virtual void Assign(const TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest) const;
    [[noreturn]] void raiseAssignError(const TPersistent* source) const;
};
