// TJObjectHold: the evaluator's reference on the object of a value it keeps
// while more script code runs (a right operand while the left one is
// evaluated, an object while its index is, a switch value while the cases
// run), so that code cannot free it meanwhile. Used by the evaluator only.
#pragma once

#include <array>
#include <vector>

#include "engine/eval/engine.h"
#include "engine/core/object.h"
#include "engine/core/scope.h"

class TJObjectHold {
public:
    explicit TJObjectHold(TJEngine& engine) : engine_(engine) {}
    TJObjectHold(TJEngine& engine, const TJValue& value) : engine_(engine) { hold(value); }
    ~TJObjectHold() {
        for (size_t i = 0; i < count_; ++i) release(objects_[i]);
        for (TJObject* object : more_) release(object);
    }
    TJObjectHold(const TJObjectHold&) = delete;
    TJObjectHold& operator=(const TJObjectHold&) = delete;

    // Takes a reference on the value's object, if it has one.
    void hold(const TJValue& value) {
        if (value.ValueType != vtObject || !value.ObjValue) return;
        if (count_ < objects_.size()) objects_[count_++] = value.ObjValue;
        else more_.push_back(value.ObjValue);
        value.ObjValue->IncRef();
    }

private:
    // The last reference is not dropped here but handed to the statement's
    // temporaries: an object that nothing else refers to yet (a fresh result)
    // must live as long as the statement that uses it.
    void release(TJObject* object) noexcept {
        if (object->RefCount() > 1) {
            object->DecRef();
            return;
        }
        try {
            engine_.CurrentTable->AddTemporary(object, false);
        } catch (...) {
            object->DecRef();
        }
    }

    TJEngine& engine_;
    // The first few objects sit here, so that a hold allocates nothing in
    // the common case; any further ones go to more_.
    std::array<TJObject*, 4> objects_;
    size_t count_ = 0;
    std::vector<TJObject*> more_;
};
