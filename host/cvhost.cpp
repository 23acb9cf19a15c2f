// cvhost: loads the plug-in the way the PostScript driver's UI module does and reports what the
// driver learns from it.
#include "core/plugin_abi.h"
#include "core/records.h"

#include <cstdio>
#include <string>

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring PluginPath() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring dir(path, n);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir + L"cvpsui.dll";
}

void PrintText(const char* label, const char16_t* text, size_t capacity) {
    std::string utf8;
    for (size_t i = 0; i < capacity && text[i]; ++i)
        utf8 += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    std::printf("  %-22s \"%s\"\n", label, utf8.c_str());
}

} // namespace

int wmain() {
    HMODULE dll = LoadLibraryW(PluginPath().c_str());
    if (!dll) {
        std::fprintf(stderr, "cvhost: cannot load cvpsui.dll (error %lu)\n", GetLastError());
        return 1;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    if (!getClassObject ||
        FAILED(getClassObject(CLSID_CorvanePlugin, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)))) {
        std::fprintf(stderr, "cvhost: cvpsui.dll has no class factory for the plug-in\n");
        return 1;
    }
    IPrintOemUI2* plugin = nullptr;
    const HRESULT created =
        factory->CreateInstance(nullptr, IID_IPrintOemUI2_, reinterpret_cast<void**>(&plugin));
    factory->Release();
    if (FAILED(created)) {
        std::fprintf(stderr, "cvhost: CreateInstance failed (0x%08lx)\n", created);
        return 1;
    }

    DWORD signature = 0, version = 0, needed = 0;
    plugin->GetInfo(OEMGI_GETSIGNATURE, &signature, sizeof signature, &needed);
    plugin->GetInfo(OEMGI_GETVERSION, &version, sizeof version, &needed);
    std::printf("plug-in signature  %c%c%c%c (0x%08lx)\n", char(signature >> 24),
                char(signature >> 16), char(signature >> 8), char(signature), signature);
    std::printf("plug-in version    %lu\n", version);

    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    plugin->DevMode(OEMDM_SIZE, &param);
    std::printf("private devmode    %lu bytes\n", param.cbBufSize);

    cv::PluginDevmode dm{};
    param.pOEMDMOut = &dm;
    plugin->DevMode(OEMDM_DEFAULT, &param);
    std::printf("default devmode:\n");
    std::printf("  %-22s %lu\n", "watermarkEnabled", static_cast<unsigned long>(dm.watermarkEnabled));
    std::printf("  %-22s %lu\n", "watermarkOrder", static_cast<unsigned long>(dm.watermarkOrder));
    PrintText("firstWatermark.face", dm.firstWatermark.faceName, 64);
    std::printf("  %-22s %lu pt, intensity %u%%\n", "firstWatermark.size",
                static_cast<unsigned long>(dm.firstWatermark.pointSize),
                dm.firstWatermark.intensity);
    std::printf("  %-22s %lu\n", "outputTo", static_cast<unsigned long>(dm.outputTo));
    PrintText("userName", dm.userName, 25);
    std::printf("  %-22s %lu\n", "fax.coverFlags", static_cast<unsigned long>(dm.fax.coverFlags));
    std::printf("  %-22s %lu\n", "colorCorrection", static_cast<unsigned long>(dm.colorCorrection));
    std::printf("  %-22s %ld\n", "brightness", static_cast<long>(dm.brightness));
    plugin->Release();
    return 0;
}
