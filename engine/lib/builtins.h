// RegisterBuiltins: the one place that names every built-in library. The
// engine component hands it to each engine it makes; the engine reaches the
// built-in objects only through what it returns (TJBuiltins, engine/core/runtime.h).
#pragma once

#include <memory>

#include "engine/core/runtime.h"

// Registers the built-in classes with the runtime, in this order: Object,
// Global, Array, String, Number, Boolean, RegExp, Math, Date (with the native
// calls' hook), and makes the Global, RegExp statics and WScript singletons,
// WScript's streams wired to the runtime's standard streams.
std::unique_ptr<TJBuiltins> RegisterBuiltins(TJRuntime& runtime);
