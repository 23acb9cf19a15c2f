#include "host/core_ui.h"

#include <cstring>
#include <new>

namespace cvhost {

namespace {

constexpr DWORD kUIObjectTag = 0x43564855; // "CVHU"

// The two-call size protocol every query of the interface follows: the size is always reported,
// and a missing or short buffer is E_OUTOFMEMORY.
HRESULT CopyOut(const void* bytes, size_t size, void* out, DWORD cbSize, PDWORD pcbNeeded) {
    *pcbNeeded = static_cast<DWORD>(size);
    if (!out || cbSize < size) return E_OUTOFMEMORY;
    std::memcpy(out, bytes, size);
    return S_OK;
}

// Keywords arrive as ANSI strings from the plug-in; a predefined-index "keyword" (a small
// integer in the pointer) is not a string.
bool IsKeyword(PCSTR text) {
    return text && reinterpret_cast<ULONG_PTR>(text) > 0xFFFF;
}

std::string MultiSz(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& s : items) {
        out += s;
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

} // namespace

HostCoreUI* HostCoreUI::Create(std::shared_ptr<const PrinterModel> model) {
    if (!model) return nullptr;
    return new (std::nothrow) HostCoreUI(std::move(model));
}

HostCoreUI::HostCoreUI(std::shared_ptr<const PrinterModel> model) : model_(std::move(model)) {
    for (const PpdFeature& f : model_->features)
        selections_[f.keyword] = f.defaultOption;
    procs_.DrvGetDriverSetting = &ProcGetDriverSetting;
    procs_.DrvUpdateUISetting = &ProcUpdateUISetting;
    uiObject_.header.cbSize = sizeof(OEMUIOBJ);
    uiObject_.header.pOemUIProcs = &procs_;
    uiObject_.owner = this;
    uiObject_.tag = kUIObjectTag;
}

HostCoreUI* HostCoreUI::FromUIObject(const void* object) {
    if (!object) return nullptr;
    const auto* ui = static_cast<const OwnedUIObject*>(object);
    return ui->tag == kUIObjectTag ? ui->owner : nullptr;
}

bool HostCoreUI::Select(const std::string& feature, const std::string& option) {
    const PpdFeature* f = model_->FindFeature(feature);
    if (!f || !f->FindOption(option)) return false;
    selections_[feature] = option;
    return true;
}

std::string HostCoreUI::SelectedOption(const std::string& feature) const {
    auto it = selections_.find(feature);
    return it == selections_.end() ? std::string() : it->second;
}

// --- IUnknown ---------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE HostCoreUI::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintCoreUI2_)) {
        *ppv = static_cast<IPrintCoreUI2*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE HostCoreUI::AddRef() {
    return InterlockedIncrement(&refCount_);
}

ULONG STDMETHODCALLTYPE HostCoreUI::Release() {
    const LONG n = InterlockedDecrement(&refCount_);
    if (n == 0) delete this;
    return n;
}

// --- The queries the plug-in makes --------------------------------------------------------------

HRESULT STDMETHODCALLTYPE HostCoreUI::DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID output,
                                                          DWORD cbSize, PDWORD pcbNeeded,
                                                          PDWORD pdwOptionsReturned) {
    if (FromUIObject(pci) != this || !pcbNeeded) return E_INVALIDARG;
    if (feature && !IsKeyword(feature)) return E_NOTIMPL; // predefined indices: none modelled
    if (!feature) return E_INVALIDARG;
    auto it = selections_.find(feature);
    if (it == selections_.end()) {
        *pcbNeeded = 0;
        return E_INVALIDARG;
    }
    const std::string& option = it->second;
    const HRESULT hr = CopyOut(option.c_str(), option.size() + 1, output, cbSize, pcbNeeded);
    if (hr == S_OK && pdwOptionsReturned) *pdwOptionsReturned = 1;
    return hr;
}

HRESULT STDMETHODCALLTYPE HostCoreUI::EnumOptions(POEMUIOBJ poemuiobj, DWORD flags, PCSTR feature,
                                                  PSTR list, DWORD cbSize, PDWORD pcbNeeded) {
    if (FromUIObject(poemuiobj) != this || flags != 0 || !pcbNeeded || !IsKeyword(feature))
        return E_INVALIDARG;
    const PpdFeature* f = model_->FindFeature(feature);
    if (!f) {
        *pcbNeeded = 0;
        return E_INVALIDARG;
    }
    std::vector<std::string> keywords;
    for (const PpdOption& o : f->options)
        keywords.push_back(o.keyword);
    const std::string multi = MultiSz(keywords);
    return CopyOut(multi.data(), multi.size(), list, cbSize, pcbNeeded);
}

HRESULT STDMETHODCALLTYPE HostCoreUI::EnumFeatures(POEMUIOBJ poemuiobj, DWORD flags, PSTR list,
                                                   DWORD cbSize, PDWORD pcbNeeded) {
    if (FromUIObject(poemuiobj) != this || flags != 0 || !pcbNeeded) return E_INVALIDARG;
    std::vector<std::string> keywords;
    for (const PpdFeature& f : model_->features)
        keywords.push_back(f.keyword);
    const std::string multi = MultiSz(keywords);
    return CopyOut(multi.data(), multi.size(), list, cbSize, pcbNeeded);
}

HRESULT STDMETHODCALLTYPE HostCoreUI::GetGlobalAttribute(POEMUIOBJ poemuiobj, DWORD flags,
                                                         PCSTR attribute, PDWORD dataType,
                                                         PBYTE data, DWORD cbSize,
                                                         PDWORD pcbNeeded) {
    if (FromUIObject(poemuiobj) != this || flags != 0 || !pcbNeeded || !dataType)
        return E_INVALIDARG;
    if (!attribute) { // the names of the attributes this model answers
        *dataType = kADT_ASCII;
        const std::string multi = MultiSz({"NickName"});
        return CopyOut(multi.data(), multi.size(), data, cbSize, pcbNeeded);
    }
    if (std::strcmp(attribute, "NickName") != 0) {
        *pcbNeeded = 0;
        return E_INVALIDARG;
    }
    *dataType = kADT_UNICODE;
    const std::u16string name = Latin1ToUtf16(model_->nickName);
    return CopyOut(name.c_str(), (name.size() + 1) * sizeof(char16_t), data, cbSize, pcbNeeded);
}

// --- What the plug-in pushes back
// -----------------------------------------------------------------

void HostCoreUI::RecordUpdate(PVOID optItem, DWORD previousSelection, DWORD mode,
                              bool viaInterface) {
    const auto* item = static_cast<const OPTITEM*>(optItem);
    updates_.push_back(
        UISettingUpdate{item, item ? item->Sel : -1, previousSelection, mode, viaInterface});
}

HRESULT STDMETHODCALLTYPE HostCoreUI::DrvUpdateUISetting(PVOID pci, PVOID optItem,
                                                         DWORD previousSelection, DWORD mode) {
    if (FromUIObject(pci) != this) return E_INVALIDARG;
    RecordUpdate(optItem, previousSelection, mode, true);
    return S_OK;
}

BOOL APIENTRY HostCoreUI::ProcGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output,
                                               DWORD cbSize, PDWORD pcbNeeded,
                                               PDWORD pdwOptionsReturned) {
    HostCoreUI* self = FromUIObject(pdriverobj);
    if (!self) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const HRESULT hr = self->DrvGetDriverSetting(pdriverobj, feature, output, cbSize, pcbNeeded,
                                                 pdwOptionsReturned);
    if (hr == S_OK) return TRUE;
    SetLastError(hr == E_OUTOFMEMORY ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL APIENTRY HostCoreUI::ProcUpdateUISetting(PVOID pdriverobj, PVOID optItem,
                                              DWORD previousSelection, DWORD mode) {
    HostCoreUI* self = FromUIObject(pdriverobj);
    if (!self) return FALSE;
    self->RecordUpdate(optItem, previousSelection, mode, false);
    return TRUE;
}

// --- Not modelled: the plug-in does not use them ------------------------------------------------

HRESULT STDMETHODCALLTYPE HostCoreUI::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::GetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD,
                                                 PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::SetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::EnumConstrainedOptions(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD,
                                                             PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::WhyConstrained(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD,
                                                     PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::GetFeatureAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PDWORD,
                                                          PBYTE, DWORD, PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::GetOptionAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PCSTR,
                                                         PDWORD, PBYTE, DWORD, PDWORD) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE HostCoreUI::QuerySimulationSupport(HANDLE, DWORD, PBYTE, DWORD, PDWORD) {
    return E_NOTIMPL;
}

} // namespace cvhost
