// nimtestcall.dll: functions of known signatures for the DLL-call script
// tests (tests/scripts/dynacall), built for the tree's architecture beside the
// script runner, which finds it by name. Most echo what they were given as a
// text, so a script sees whether each argument arrived in its register or
// stack slot.
#include <windows.h>

#include <oaidl.h>
#include <stdio.h>

#define EXPORT __declspec(dllexport)

static char echo[512];

// ==== Six arguments ====
// Integers, floats and doubles, rotated so that each kind takes each of the
// six positions: the four passed in registers and two stack slots.

EXPORT const char* WINAPI ntMixIFD(int a, float b, double c, int d, float e, double f) {
    snprintf(echo, sizeof echo, "%d %g %g %d %g %g", a, b, c, d, e, f);
    return echo;
}

EXPORT const char* WINAPI ntMixDIF(double a, int b, float c, double d, int e, float f) {
    snprintf(echo, sizeof echo, "%g %d %g %g %d %g", a, b, c, d, e, f);
    return echo;
}

EXPORT const char* WINAPI ntMixFDI(float a, double b, int c, float d, double e, int f) {
    snprintf(echo, sizeof echo, "%g %g %d %g %g %d", a, b, c, d, e, f);
    return echo;
}

// ==== An automation object ====
// One static object that counts its references; nothing else works.

static ULONG references = 1;

static HRESULT STDMETHODCALLTYPE objectQuery(IDispatch* self, REFIID iid, void** out) {
    (void)iid;
    *out = self;
    self->lpVtbl->AddRef(self);
    return S_OK;
}
static ULONG STDMETHODCALLTYPE objectAddRef(IDispatch* self) { (void)self; return ++references; }
static ULONG STDMETHODCALLTYPE objectRelease(IDispatch* self) { (void)self; return --references; }
static HRESULT STDMETHODCALLTYPE objectTypeInfoCount(IDispatch* self, UINT* count) {
    (void)self;
    *count = 0;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE objectTypeInfo(IDispatch* self, UINT index, LCID locale, ITypeInfo** info) {
    (void)self, (void)index, (void)locale, (void)info;
    return E_NOTIMPL;
}
static HRESULT STDMETHODCALLTYPE objectNames(IDispatch* self, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                             DISPID* ids) {
    (void)self, (void)iid, (void)names, (void)count, (void)locale, (void)ids;
    return E_NOTIMPL;
}
static HRESULT STDMETHODCALLTYPE objectInvoke(IDispatch* self, DISPID id, REFIID iid, LCID locale, WORD flags,
                                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* error, UINT* wrong) {
    (void)self, (void)id, (void)iid, (void)locale, (void)flags, (void)params, (void)result, (void)error, (void)wrong;
    return E_NOTIMPL;
}

static IDispatchVtbl objectMethods = {objectQuery, objectAddRef,  objectRelease, objectTypeInfoCount,
                                      objectTypeInfo, objectNames, objectInvoke};
static IDispatch object = {&objectMethods};

static const char* which(const void* p) { return !p ? "none" : p == &object ? "ours" : "other"; }

// ==== Every argument letter ====
// c 1 t 2 b h l p u 4 i 8 s w f d a k in that order, each echoed (addresses
// and 64-bit integers as decimal numbers); the cells passed by reference
// change afterwards: byte +1, short negated, long doubled, 64-bit tripled.

EXPORT const char* WINAPI ntLetters(char c, unsigned char* r1, short t, short* r2, BOOL b, HANDLE h, int l, void* p,
                                    unsigned u, int* r4, long long i, long long* r8, const char* s, const wchar_t* w,
                                    float f, double d, IDispatch* a, IUnknown* k) {
    snprintf(echo, sizeof echo, "%c %u %d %d %d %.0f %d %.0f %u %d %.0f %.0f %s %ls %g %g %s %s", c, *r1, t, *r2, b,
             (double)(INT_PTR)h, l, (double)(UINT_PTR)p, u, *r4, (double)i, (double)*r8, s, w, f, d, which(a),
             which(k));
    *r1 = (unsigned char)(*r1 + 1);
    *r2 = (short)-*r2;
    *r4 *= 2;
    *r8 *= 3;
    return echo;
}

// ==== Results ====

// Its argument, read back by any of the result letters b c h l p t u.
EXPORT void* WINAPI ntEcho(void* p) { return p; }
EXPORT double WINAPI ntHalf(double x) { return x / 2; }
EXPORT float WINAPI ntHalfSingle(float x) { return x / 2; }
EXPORT long long WINAPI ntTwice64(long long x) { return 2 * x + 1; }
EXPORT const wchar_t* WINAPI ntWideEcho(const wchar_t* w) { return w; }
EXPORT IDispatch* WINAPI ntObject(void) { return &object; }
EXPORT ULONG WINAPI ntReferences(void) { return references; }

// ==== Memory and the stack ====

// The 32-bit value at the address.
EXPORT int WINAPI ntPeek(const int* p) { return *p; }
// Where this call's frame lies: the same from the same place of the caller
// while the caller's stack is kept in order.
EXPORT void* WINAPI ntStackMark(void) { return __builtin_frame_address(0); }
