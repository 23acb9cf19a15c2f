#include "model_printer.h"

#include "host/printer_setup.h"
#include "printer_fixture.h"

#include <windows.h>


namespace cvtest {

std::string PpdFeature(const char* keyword, std::initializer_list<const char*> options,
                       const char* defaultOption) {
    const std::string k = keyword;
    std::string block = "*OpenUI *" + k + ": PickOne\n*Default" + k + ": " +
                        (defaultOption ? defaultOption : *options.begin()) + "\n";
    for (const char* option : options)
        block += "*" + k + " " + option + ": \"\"\n";
    return block + "*CloseUI: *" + k + "\n";
}

ModelPrinter::ModelPrinter(const std::wstring& tag, const std::string& features) {
    const std::wstring name = L"Cv " + tag + L" Model";
    const std::string ppd = "*PPD-Adobe: \"4.3\"\n*Manufacturer: \"Corvane\"\n*NickName: \"" +
                            Narrow(name) + "\"\n" + features;
    cvhost::ModelPrinter model;
    model.ppdPath = WriteScratchFile(
        (L"cv" + std::to_wstring(GetCurrentProcessId()) + L"-" + tag + L".ppd").c_str(), ppd);
    std::wstring why;
    if (model.ppdPath.empty())
        why = L"cannot write the model's PPD";
    else if (cvhost::SetUpModelPrinter(&model, &why))
        printerName = model.printerName;
    error = Narrow(why);
}

ModelPrinter::~ModelPrinter() {
    // The driver is named after the model, like the printer.
    if (!printerName.empty()) RemovePrinterAndDriver(printerName, printerName);
}

} // namespace cvtest
