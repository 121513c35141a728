#pragma once
#include "ComPtr.h"
#include "Window.h"
#include <ocidl.h>
#include <objsafe.h>

// The container-facing half of an ActiveX control: identity and aggregation, in-place
// activation with a window of its own, the view object drawing into a given device context,
// persistence of the extent, and the small interfaces containers ask for. A control class
// derives from it, adds its dual interface (FindPrimaryInterface) and paints in PaintContent.
// It always activates with a window and so does not offer IOleInPlaceObjectWindowless: a
// host that validates its own paints without drawing (orvex's does) never shows a windowless
// control.
// The interface implementations are spread over the Control*.cpp files by interface group.
class CControlBase : public IViewObjectEx,
                     public IOleInPlaceObject,
                     public IOleInPlaceActiveObject,
                     public IOleControl,
                     public IOleObject,
                     public IPersistStreamInit,
                     public ISupportErrorInfo,
                     public ISpecifyPropertyPages,
                     public IQuickActivate,
                     public IPersistStorage,
                     public IDataObject,
                     public IProvideClassInfo2,
                     public IObjectSafety {
public:
    // IUnknown: delegates to the outer object when aggregated.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return m_outer->QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }

    // IViewObject, IViewObject2, IViewObjectEx. Draw paints the content into the container's
    // device context now (through PaintContent); it is not the dual interface's repaint request.
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDC, HDC dc,
                      LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;
    STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHODIMP GetViewStatus(DWORD* status) override;
    STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG, DWORD* hit) override;
    STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG, DWORD* hit) override;
    STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IPersist, IPersistStreamInit, IPersistStorage
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return m_dirty ? S_OK : S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override { m_dirty = false; return S_OK; }
    STDMETHODIMP InitNew(IStorage*) override { m_dirty = false; return S_OK; }
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // ISupportErrorInfo, ISpecifyPropertyPages, IQuickActivate
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
    STDMETHODIMP GetPages(CAUUID* pages) override;
    STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    STDMETHODIMP SetContentExtent(LPSIZEL size) override;
    STDMETHODIMP GetContentExtent(LPSIZEL size) override;

    // IDataObject: only advise connections; the control offers no data formats.
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP DUnadvise(DWORD connection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advises) override;

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

    // Repaint request, callable from any thread: invalidates the window when active with one,
    // otherwise tells the container's view advise sink (on the control's own thread).
    void RequestRepaint();

    // The library's window classes go with the library: a reloaded copy registers its own.
    static void UnregisterWindowClasses();

protected:
    CControlBase(IUnknown* outer, const CLSID& clsid, const IID& primaryIid, DWORD miscStatus);
    virtual ~CControlBase();

    // The derived control's dual interface and IDispatch, asked before the framework's list.
    virtual void* FindPrimaryInterface(REFIID iid) = 0;
    // Paints the whole control into dc at bounds; the only place drawing happens.
    virtual HRESULT PaintContent(HDC dc, const RECT& bounds) = 0;
    virtual HRESULT GetCoClassInfo(ITypeInfo** info) = 0;

    // The non-delegating IUnknown an aggregating outer object holds.
    IUnknown* InnerUnknown() { return &m_inner; }
    // Whether worker threads' repaint requests can reach this thread (the relay window exists).
    bool CanRelayRepaints() const { return m_relay != nullptr; }

private:
    class CInnerUnknown : public IUnknown {
    public:
        explicit CInnerUnknown(CControlBase& owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CControlBase& m_owner;
    };

    void* FindInterface(REFIID iid);
    HRESULT InPlaceActivate(LONG verb, HWND parentOverride, const RECT* positionOverride);
    HRESULT ActivateInSite(HWND parentOverride, const RECT* positionOverride);
    HRESULT CreateControlWindow(HWND parent, const RECT& position);
    void NotifyViewChange();
    HRESULT LoadExtent(IStream* stream);
    HRESULT SaveExtent(IStream* stream);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK RelayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterWindowClasses();
    static constexpr const wchar_t* kWindowClass = L"NorvctrlControl";

    CInnerUnknown m_inner{*this};
    IUnknown* m_outer;
    LONG m_references = 0;
    const CLSID& m_clsid;
    const IID& m_primaryIid;
    DWORD m_miscStatus;
    DWORD m_ownerThread;

    CComPtr<IOleClientSite> m_clientSite;
    CComPtr<IOleInPlaceSite> m_inPlaceSite;
    CComPtr<IOleAdviseHolder> m_oleAdviseHolder;
    CComPtr<IDataAdviseHolder> m_dataAdviseHolder;
    CComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    SIZEL m_extent{};  // HIMETRIC
    bool m_dirty = false;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    DWORD m_safetyOptions = 0;
    CWindow m_window;
    CWindow m_relay;  // message-only window bringing worker-thread repaint requests to this thread
};
