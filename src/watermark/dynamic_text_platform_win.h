// The system side of dynamic watermark text: the string table, the user and computer names,
// the user's locale formats and the printer's names, through the Win32 calls themselves.
#pragma once

#include "watermark/dynamic_text.h"

namespace cv {

class Win32DynamicTextPlatform final : public DynamicTextPlatform {
  public:
    size_t LoadText(uint32_t id, char16_t* buffer, size_t capacity) override;
    size_t UserName(char16_t* buffer, size_t capacity) override;
    size_t ComputerName(char16_t* buffer, size_t capacity) override;
    size_t FormatDate(const LocalTime& time, DateStyle style, const char16_t* picture,
                      char16_t* buffer, size_t capacity) override;
    size_t FormatTime(const LocalTime& time, const char16_t* picture, char16_t* buffer,
                      size_t capacity) override;
    size_t PrinterInfo(void* printer, PrinterField field, char16_t* buffer,
                       size_t capacity) override;
    LocalTime CurrentLocalTime() override;
};

// The one instance the shell uses; it holds no state.
DynamicTextPlatform& SystemDynamicTextPlatform();

} // namespace cv
