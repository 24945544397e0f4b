// TPersistent: assignment between persistent objects, with the error that
// names both classes when neither side supports the pair.
// Used by the GUI classes and the script engine's objects.
#include "rtl/persistent.h"

const TClassInfo TPersistent::classInfo = makeClassInfo("TPersistent", &TObject::classInfo);

void TPersistent::Assign(const TPersistent* source) {
    if (source) {
        source->AssignTo(this);
        return;
    }
    raiseAssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->raiseAssignError(this); }

void TPersistent::raiseAssignError(const TPersistent* source) const {
    AnsiString from = source ? AnsiString(source->ClassName()) : AnsiString("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}
