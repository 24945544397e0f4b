// Raising helpers for the run-time's own exceptions.
#include "rtl/exceptions.h"

#include <string>

void raiseListIndexError(long long index) {
    throw EListError(AnsiString("List index out of bounds (" + std::to_string(index) + ")"));
}
