// A DynamicTextPlatform with fixed answers, shared by the native tests, the fuzz target and the
// benchmark. The English string table, a fixed user, host and printer, and the en-US date and
// time texts of one fixed moment.
#pragma once

#include "watermark/dynamic_text.h"

#include <cstring>
#include <map>
#include <string>

namespace cv::testing {

class FixedPlatform : public DynamicTextPlatform {
public:
    std::map<uint32_t, std::u16string> strings = {
        {161, u"%Username%"},   {162, u"%dateshort%"},  {163, u"%datelong%"},
        {164, u"%dateddmmyyyy%"}, {165, u"%time%"},     {166, u"%timemil%"},
        {167, u"%timehrmn%"},   {168, u"%pagenumber%"}, {169, u"%hostname%"},
        {170, u"%printer%"},    {171, u"%modelname%"},  {172, u"%"},
    };
    std::u16string user = u"jdoe";
    std::u16string host = u"PRINTHOST";
    std::u16string printer = u"Corvane Laser 9000";
    std::u16string driver = u"Corvane PS Driver";
    LocalTime now = {2024, 3, 4, 7, 14, 5, 9, 0}; // Thursday, 7 March 2024, 14:05:09
    bool failDates = false;
    size_t computerNameCapacity = 0; // last capacity ComputerName was given

    size_t LoadText(uint32_t id, char16_t* buffer, size_t capacity) override {
        auto it = strings.find(id);
        return it == strings.end() ? 0 : Put(it->second, buffer, capacity);
    }
    size_t UserName(char16_t* buffer, size_t capacity) override {
        return Put(user, buffer, capacity);
    }
    size_t ComputerName(char16_t* buffer, size_t capacity) override {
        computerNameCapacity = capacity;
        return Put(host, buffer, capacity);
    }
    // The en-US texts of `now`; any other time has none, so a time not passed through shows.
    size_t FormatDate(const LocalTime& t, DateStyle style, const char16_t* picture,
                      char16_t* buffer, size_t capacity) override {
        if (failDates || std::memcmp(&t, &now, sizeof t) != 0) return 0;
        // Only the picture style takes a picture, and only the one the plug-in passes.
        if (style == DateStyle::Picture ? !picture || picture != std::u16string(kPictureDdMmYyyy)
                                        : picture != nullptr)
            return 0;
        return Put(style == DateStyle::Short  ? u"3/7/2024"
                   : style == DateStyle::Long ? u"Thursday, March 7, 2024"
                                              : u"07/03/2024",
                   buffer, capacity);
    }
    size_t FormatTime(const LocalTime& t, const char16_t* picture, char16_t* buffer,
                      size_t capacity) override {
        const std::u16string p = picture ? picture : u"";
        if (std::memcmp(&t, &now, sizeof t) != 0) return 0;
        if (!picture) return Put(u"2:05:09 PM", buffer, capacity);
        if (p == kPictureTimeMilitary) return Put(u"14:05:09", buffer, capacity);
        if (p == kPictureTimeHourMinute) return Put(u"2:05 PM", buffer, capacity);
        return 0;
    }
    size_t PrinterInfo(void* handle, PrinterField field, char16_t* buffer,
                       size_t capacity) override {
        if (!handle) return 0;
        return Put(field == PrinterField::PrinterName ? printer : driver, buffer, capacity);
    }
    LocalTime CurrentLocalTime() override { return now; }

private:
    static size_t Put(const std::u16string& value, char16_t* buffer, size_t capacity) {
        if (value.empty() || value.size() >= capacity) return 0;
        value.copy(buffer, value.size());
        buffer[value.size()] = 0;
        return value.size();
    }
};

// Any non-null value serves as the printer handle.
inline void* FixedPrinterHandle() {
    static int printer;
    return &printer;
}

} // namespace cv::testing
