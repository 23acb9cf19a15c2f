// The core driver's helper interface as the stand-in host gives it to the plug-in: IPrintCoreUI2
// answering from the printer's PPD model, and the OEMUIOBJ whose procedures the plug-in calls
// back (DrvUpdateUISetting is recorded so that tests can see what the plug-in pushed).
#pragma once

#include "core/plugin_abi.h"
#include "host/ppd.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cvhost {

// Data types of GetGlobalAttribute and its relatives (EATTRIBUTE_DATATYPE).
enum AttributeDataType : DWORD {
    kADT_UNKNOWN = 0,
    kADT_BOOL = 1,
    kADT_INT = 2,
    kADT_LONG = 3,
    kADT_DWORD = 4,
    kADT_ASCII = 5,
    kADT_UNICODE = 6,
    kADT_BINARY = 7,
};

// One call of DrvUpdateUISetting, through the OEMUIOBJ's procedure table or the interface.
struct UISettingUpdate {
    const OPTITEM* item;
    LONG selectionThen; // the item's Sel when the call arrived (-1 without an item)
    DWORD previousSelection;
    DWORD mode;
    bool throughInterface;
};

class HostCoreUI final : public IPrintCoreUI2 {
  public:
    // A new object with one reference, which the caller owns (Release when done).
    static HostCoreUI* Create(std::shared_ptr<const PrinterModel> model);

    HostCoreUI(const HostCoreUI&) = delete;
    HostCoreUI& operator=(const HostCoreUI&) = delete;

    // The object the host passes as poemuiobj; only this one is accepted back.
    POEMUIOBJ UIObject() { return &uiObject_.header; }
    const PrinterModel& Model() const { return *model_; }

    // The current option of a feature starts as the PPD's default; false for an unknown
    // feature or option.
    bool Select(const std::string& feature, const std::string& option);
    std::string SelectedOption(const std::string& feature) const;

    const std::vector<UISettingUpdate>& Updates() const { return updates_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPrintOemDriverUI
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID output,
                                                  DWORD cbSize, PDWORD pcbNeeded,
                                                  PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID optItem, DWORD previousSelection,
                                                 DWORD mode) override;
    // IPrintCoreUI2
    HRESULT STDMETHODCALLTYPE GetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD,
                                         PDWORD) override;
    HRESULT STDMETHODCALLTYPE SetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) override;
    HRESULT STDMETHODCALLTYPE EnumConstrainedOptions(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD,
                                                     PDWORD) override;
    HRESULT STDMETHODCALLTYPE WhyConstrained(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD,
                                             PDWORD) override;
    HRESULT STDMETHODCALLTYPE GetGlobalAttribute(POEMUIOBJ poemuiobj, DWORD flags, PCSTR attribute,
                                                 PDWORD dataType, PBYTE data, DWORD cbSize,
                                                 PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE GetFeatureAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PDWORD, PBYTE,
                                                  DWORD, PDWORD) override;
    HRESULT STDMETHODCALLTYPE GetOptionAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD,
                                                 PBYTE, DWORD, PDWORD) override;
    HRESULT STDMETHODCALLTYPE EnumFeatures(POEMUIOBJ poemuiobj, DWORD flags, PSTR list,
                                           DWORD cbSize, PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE EnumOptions(POEMUIOBJ poemuiobj, DWORD flags, PCSTR feature,
                                          PSTR list, DWORD cbSize, PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE QuerySimulationSupport(HANDLE, DWORD, PBYTE, DWORD, PDWORD) override;

  private:
    explicit HostCoreUI(std::shared_ptr<const PrinterModel> model);
    ~HostCoreUI() = default;

    // The OEMUIOBJ with a way back to its owner; the tag tells ours from a stranger's.
    struct OwnedUIObject {
        OEMUIOBJ header;
        HostCoreUI* owner;
        DWORD tag;
    };
    static HostCoreUI* FromUIObject(const void* object);
    static BOOL APIENTRY ProcGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD);
    static BOOL APIENTRY ProcUpdateUISetting(PVOID, PVOID, DWORD, DWORD);
    void RecordUpdate(PVOID optItem, DWORD previousSelection, DWORD mode, bool viaInterface);

    volatile LONG refCount_ = 1;
    std::shared_ptr<const PrinterModel> model_;
    std::map<std::string, std::string> selections_;
    std::vector<UISettingUpdate> updates_;
    OEMUIPROCS procs_{};
    OwnedUIObject uiObject_{};
};

// Releases the object at scope end.
struct CoreUIRelease {
    void operator()(HostCoreUI* p) const {
        if (p) p->Release();
    }
};
using CoreUIPtr = std::unique_ptr<HostCoreUI, CoreUIRelease>;

} // namespace cvhost
