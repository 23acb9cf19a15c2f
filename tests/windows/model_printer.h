// A printer of a model written by the test: the PPD holds the given UI features, the driver is
// installed with the plug-in through the real spooler, and both go at scope end.
#pragma once

#include <initializer_list>
#include <string>

namespace cvtest {

// One *OpenUI block of a PPD: `keyword` with `options` (keywords), the first being the default
// unless `defaultOption` names another.
std::string PpdFeature(const char* keyword, std::initializer_list<const char*> options,
                       const char* defaultOption = nullptr);

class ModelPrinter {
  public:
    // `tag` makes the names unique to the test: nickname, driver and printer "Cv <tag> Model".
    ModelPrinter(const std::wstring& tag, const std::string& features);
    ModelPrinter(const ModelPrinter&) = delete;
    ModelPrinter& operator=(const ModelPrinter&) = delete;
    ~ModelPrinter();

    bool ok() const { return error.empty(); } // ASSERT_TRUE(p.ok()) << p.error
    std::wstring printerName;
    std::string error;
};

} // namespace cvtest
