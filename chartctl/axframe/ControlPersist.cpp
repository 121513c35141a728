// Persistence: the extent is the only saved state, "_cx" then "_cy" as 32-bit unsigned values
// after a format version, in a stream or in the storage's "Contents" stream.
#include "ControlBase.h"

namespace {
const DWORD kStreamVersion = 0x0100;
const wchar_t kContents[] = L"Contents";

HRESULT ReadAll(IStream* stream, void* data, ULONG size)
{
    ULONG read = 0;
    HRESULT hr = stream->Read(data, size, &read);
    return FAILED(hr) ? hr : read == size ? S_OK : STG_E_READFAULT;
}
}  // namespace

HRESULT CControlBase::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

HRESULT CControlBase::LoadExtent(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    DWORD values[3];
    HRESULT hr = ReadAll(stream, values, sizeof(values));
    if (FAILED(hr))
        return hr;
    if (values[0] != kStreamVersion)
        return E_FAIL;
    m_extent = SIZEL{static_cast<LONG>(values[1]), static_cast<LONG>(values[2])};
    m_dirty = false;
    return S_OK;
}

HRESULT CControlBase::SaveExtent(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    const DWORD values[3] = {kStreamVersion, static_cast<DWORD>(m_extent.cx), static_cast<DWORD>(m_extent.cy)};
    return stream->Write(values, sizeof(values), nullptr);
}

HRESULT CControlBase::Load(LPSTREAM stream)
{
    return LoadExtent(stream);
}

HRESULT CControlBase::Save(LPSTREAM stream, BOOL clearDirty)
{
    HRESULT hr = SaveExtent(stream);
    if (SUCCEEDED(hr) && clearDirty)
        m_dirty = false;
    return hr;
}

HRESULT CControlBase::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    size->QuadPart = 3 * sizeof(DWORD);
    return S_OK;
}

HRESULT CControlBase::Load(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    CComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContents, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    return SUCCEEDED(hr) ? LoadExtent(stream) : hr;
}

HRESULT CControlBase::Save(IStorage* storage, BOOL)
{
    if (!storage)
        return E_POINTER;
    CComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(kContents, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &stream);
    if (SUCCEEDED(hr))
        hr = SaveExtent(stream);
    if (SUCCEEDED(hr))
        m_dirty = false;
    return hr;
}
