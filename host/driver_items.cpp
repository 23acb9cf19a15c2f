#include "host/driver_items.h"

#include "host/core_ui.h"

#include <cstring>
#include <vector>

namespace cvhost {

namespace {

// Features that the standard items stand for, with their DMPubID and name.
struct StandardFeature {
    const char* keyword;
    BYTE dmPubId;
    const wchar_t* name;
};
const StandardFeature kPaperFeatures[] = {{"PageSize", DMPUB_FORMNAME, L"Paper Size"},
                                          {"InputSlot", DMPUB_DEFSOURCE, L"Paper Source"}};
const StandardFeature kResolution{"Resolution", DMPUB_PRINTQUALITY, L"Print Quality"};
const StandardFeature kDuplex{"Duplex", DMPUB_DUPLEX, L"Duplex"};

bool IsStandard(const PpdFeature& f) {
    for (const StandardFeature& s : kPaperFeatures)
        if (f.keyword == s.keyword) return true;
    return f.keyword == kResolution.keyword || f.keyword == kDuplex.keyword;
}

// Collects the items in the sheet's heap; the first failed allocation ends the work.
class Builder {
  public:
    Builder(HANDLE heap, const HostCoreUI& ui) : heap_(heap), ui_(ui) {}
    bool ok() const { return ok_; }
    std::vector<OPTITEM>& items() { return items_; }

    void Heading(BYTE level, const std::wstring& name) { Add(level, Text(name), nullptr, 0); }

    // A list item of the feature's options, the current one selected.
    void Feature(BYTE level, const PpdFeature& f, BYTE dmPubId, const wchar_t* name) {
        const std::string selected = ui_.SelectedOption(f.keyword);
        POPTTYPE type = Type(TVOT_COMBOBOX, f.options.size());
        LONG sel = 0;
        for (size_t i = 0; type && i < f.options.size(); ++i) {
            type->pOptParam[i].pData = Latin1(f.options[i].text);
            if (f.options[i].keyword == selected) sel = static_cast<LONG>(i);
        }
        auto* data = Alloc<DriverItemData>(1);
        char* keyword = Alloc<char>(f.keyword.size() + 1);
        if (data && keyword) {
            std::memcpy(keyword, f.keyword.c_str(), f.keyword.size() + 1);
            data->keyword = keyword;
            data->feature = &f;
        }
        OPTITEM& item =
            Add(level, name ? Text(name) : Latin1(f.text.empty() ? f.keyword : f.text), type, dmPubId);
        item.Sel = sel;
        item.UserData = reinterpret_cast<ULONG_PTR>(data);
    }

    // A list whose entries are texts of the host's own.
    void Choice(BYTE level, const wchar_t* name, BYTE typeId, BYTE dmPubId,
                std::initializer_list<const wchar_t*> entries, LONG sel) {
        POPTTYPE type = Type(typeId, entries.size());
        size_t i = 0;
        for (const wchar_t* e : entries)
            if (type) type->pOptParam[i++].pData = Text(e);
        Add(level, Text(name), type, dmPubId).Sel = sel;
    }

    // The pages-per-sheet list: its entries are string numbers of the driver's UI module.
    void PagesPerSheet(BYTE level) {
        POPTTYPE type = Type(TVOT_LISTBOX, kNupEntryCount);
        for (UINT i = 0; type && i < kNupEntryCount; ++i)
            type->pOptParam[i].pData = MAKEINTRESOURCEW(kNupStringFirst + i);
        Add(level, Text(L"Pages per Sheet"), type, DMPUB_NUP);
    }

  private:
    template <typename T> T* Alloc(size_t n) {
        if (!ok_) return nullptr;
        auto* p = static_cast<T*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, n * sizeof(T)));
        ok_ = p != nullptr;
        return p;
    }
    LPWSTR Text(const std::wstring& text) {
        auto* p = Alloc<wchar_t>(text.size() + 1);
        if (p) std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        return p;
    }
    LPWSTR Latin1(const std::string& text) {
        const std::u16string wide = Latin1ToUtf16(text);
        return Text(std::wstring(wide.begin(), wide.end()));
    }
    POPTTYPE Type(BYTE typeId, size_t count) {
        auto* type = Alloc<OPTTYPE>(1);
        auto* params = Alloc<OPTPARAM>(count);
        if (!type || !params) return nullptr;
        type->cbSize = sizeof(OPTTYPE);
        type->Type = typeId;
        type->Count = static_cast<WORD>(count);
        type->pOptParam = params;
        for (size_t i = 0; i < count; ++i)
            params[i].cbSize = sizeof(OPTPARAM);
        return type;
    }
    OPTITEM& Add(BYTE level, LPWSTR name, POPTTYPE type, BYTE dmPubId) {
        OPTITEM item{};
        item.cbSize = sizeof item;
        item.Level = level;
        item.pName = name;
        item.pOptType = type;
        item.DMPubID = dmPubId;
        items_.push_back(item);
        return items_.back();
    }

    HANDLE heap_;
    const HostCoreUI& ui_;
    std::vector<OPTITEM> items_;
    bool ok_ = true;
};

void DocumentItems(Builder& b, const PrinterModel& model, const DEVMODEW* publicDm) {
    b.Heading(0, L"Advanced Document Settings");
    b.Heading(1, L"Paper/Output");
    for (const StandardFeature& s : kPaperFeatures)
        if (const PpdFeature* f = model.FindFeature(s.keyword))
            if (!f->IsInstallable()) b.Feature(2, *f, s.dmPubId, s.name);
    const bool landscape = publicDm && publicDm->dmOrientation == DMORIENT_LANDSCAPE;
    b.Choice(2, L"Orientation", TVOT_2STATES, DMPUB_ORIENTATION, {L"Portrait", L"Landscape"},
             landscape ? 1 : 0);
    b.Heading(1, L"Graphic");
    if (const PpdFeature* f = model.FindFeature(kResolution.keyword))
        if (!f->IsInstallable()) b.Feature(2, *f, kResolution.dmPubId, kResolution.name);
    b.Heading(1, L"Document Options");
    if (const PpdFeature* f = model.FindFeature(kDuplex.keyword))
        if (!f->IsInstallable()) b.Feature(2, *f, kDuplex.dmPubId, kDuplex.name);
    b.PagesPerSheet(2);
    // A model that orders its output itself has a feature item for it instead.
    const PpdFeature* outputOrder = model.FindFeature("OutputOrder");
    if (!outputOrder || outputOrder->IsInstallable())
        b.Choice(2, L"Page Order", TVOT_2STATES, DMPUB_PAGEORDER,
                 {L"Front to Back", L"Back to Front"}, 0);
    b.Heading(1, L"Printer Features");
    for (const PpdFeature& f : model.features)
        if (!f.IsInstallable() && !IsStandard(f)) b.Feature(2, f, 0, nullptr);
}

void PrinterItems(Builder& b, const PrinterModel& model) {
    b.Heading(0, L"Device Settings");
    b.Heading(1, L"Installable Options");
    for (const PpdFeature& f : model.features)
        if (f.IsInstallable()) b.Feature(2, f, 0, nullptr);
}

} // namespace

const char* DriverItemKeyword(const OPTITEM& item) {
    const auto* data = reinterpret_cast<const DriverItemData*>(item.UserData);
    return data ? data->keyword : nullptr;
}

bool BuildDriverItems(HANDLE heap, const PrinterModel& model, const HostCoreUI& ui, bool document,
                      const DEVMODEW* publicDm, DriverItems* out, std::wstring* error) {
    Builder b(heap, ui);
    if (document)
        DocumentItems(b, model, publicDm);
    else
        PrinterItems(b, model);
    const size_t bytes = b.items().size() * sizeof(OPTITEM);
    auto* items = b.ok() ? static_cast<POPTITEM>(HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes)) : nullptr;
    if (!items) {
        if (error) *error = L"no room in the sheet's heap for the driver's items";
        return false;
    }
    std::memcpy(items, b.items().data(), bytes);
    out->items = items;
    out->count = static_cast<DWORD>(b.items().size());
    return true;
}

} // namespace cvhost
