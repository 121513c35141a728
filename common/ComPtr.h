#pragma once
#include <windows.h>
#include <oleauto.h>
#include <utility>

// Owns one reference to a COM interface.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    CComPtr(const CComPtr& o) : CComPtr(o.m_p) {}
    CComPtr(CComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~CComPtr() { Release(); }
    CComPtr& operator=(CComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }

    T* operator->() const { return m_p; }
    operator T*() const { return m_p; }
    T** operator&() { Release(); return &m_p; }
    T* Get() const { return m_p; }
    void Release() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    void Attach(T* p) { Release(); m_p = p; }

    template <class Q>
    HRESULT QueryInterface(REFIID iid, Q** out) const { return m_p->QueryInterface(iid, reinterpret_cast<void**>(out)); }

private:
    T* m_p = nullptr;
};

// Owns a BSTR.
class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const wchar_t* s) : m_s(::SysAllocString(s)) {}
    ~CBstr() { ::SysFreeString(m_s); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    operator BSTR() const { return m_s; }
    BSTR* operator&() { ::SysFreeString(m_s); m_s = nullptr; return &m_s; }
    const wchar_t* c_str() const { return m_s ? m_s : L""; }

private:
    BSTR m_s = nullptr;
};

// Owns a VARIANT.
class CVariant : public VARIANT {
public:
    CVariant() { ::VariantInit(this); }
    ~CVariant() { ::VariantClear(this); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
};

// COM initialised for the calling thread (single-threaded apartment) for the life of a scope.
class CComApartment {
public:
    CComApartment() : m_hr(::CoInitialize(nullptr)) {}
    ~CComApartment() { if (SUCCEEDED(m_hr)) ::CoUninitialize(); }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};
