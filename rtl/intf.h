// TIntf<T>: an owning pointer to a reference-counted interface (COM's
// IUnknown family, or any class with AddRef/Release such as the engine's
// IJFunction). Copies add a reference; the last holder releases it.
#pragma once

#include <utility>

template <class T>
class TIntf {
public:
    TIntf() noexcept = default;
    TIntf(std::nullptr_t) noexcept {}
    // Takes a new reference on p.
    TIntf(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
    TIntf(const TIntf& other) noexcept : TIntf(other.p_) {}
    TIntf(TIntf&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~TIntf() { if (p_) p_->Release(); }

    TIntf& operator=(const TIntf& other) noexcept { reset(other.p_); return *this; }
    TIntf& operator=(TIntf&& other) noexcept {
        if (this != &other) {
            T* old = p_;
            p_ = other.p_;
            other.p_ = nullptr;
            if (old) old->Release();
        }
        return *this;
    }
    TIntf& operator=(std::nullptr_t) noexcept { reset(nullptr); return *this; }

    // Holds p (adding a reference) and releases the previous interface.
    void reset(T* p) noexcept {
        if (p == p_) return;
        if (p) p->AddRef();
        T* old = p_;
        p_ = p;
        if (old) old->Release();
    }
    // Adopts a reference the caller already owns (as returned by QueryInterface).
    static TIntf adopt(T* p) noexcept { TIntf result; result.p_ = p; return result; }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    friend bool operator==(const TIntf& a, const TIntf& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const TIntf& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};
