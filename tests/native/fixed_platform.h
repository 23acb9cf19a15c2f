// A DynamicTextPlatform with fixed answers, shared by the native tests, the fuzz target and the
// benchmark. The English string table, a fixed user, host and printer, and date and time
// formats of the en-US locale computed from the timestamp.
#pragma once

#include "watermark/dynamic_text.h"

#include <cstdio>
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
    size_t FormatDate(const LocalTime& t, DateStyle style, const char16_t* picture,
                      char16_t* buffer, size_t capacity) override {
        static const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
        static const char* const months[] = {"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
        if (failDates || t.month < 1 || t.month > 12 || t.dayOfWeek > 6) return 0;
        // Only the picture style takes a picture, and only the one the plug-in passes.
        if (style == DateStyle::Picture ? !picture || picture != std::u16string(kPictureDdMmYyyy)
                                        : picture != nullptr)
            return 0;
        char s[64];
        if (style == DateStyle::Short)
            std::snprintf(s, sizeof s, "%u/%u/%u", t.month, t.day, t.year);
        else if (style == DateStyle::Long)
            std::snprintf(s, sizeof s, "%s, %s %u, %u", days[t.dayOfWeek], months[t.month - 1],
                          t.day, t.year);
        else
            std::snprintf(s, sizeof s, "%02u/%02u/%04u", t.day, t.month, t.year);
        return Put(s, buffer, capacity);
    }
    size_t FormatTime(const LocalTime& t, const char16_t* picture, char16_t* buffer,
                      size_t capacity) override {
        const unsigned h12 = t.hour % 12 ? t.hour % 12 : 12;
        const char* ampm = t.hour < 12 ? "AM" : "PM";
        char s[64];
        const std::u16string p = picture ? picture : u"";
        if (!picture)
            std::snprintf(s, sizeof s, "%u:%02u:%02u %s", h12, t.minute, t.second, ampm);
        else if (p == kPictureTimeMilitary)
            std::snprintf(s, sizeof s, "%02u:%02u:%02u", t.hour, t.minute, t.second);
        else if (p == kPictureTimeHourMinute)
            std::snprintf(s, sizeof s, "%u:%02u %s", h12, t.minute, ampm);
        else
            return 0;
        return Put(s, buffer, capacity);
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
    static size_t Put(const char* value, char16_t* buffer, size_t capacity) {
        return Put(std::u16string(value, value + std::char_traits<char>::length(value)), buffer,
                   capacity);
    }
};

// Any non-null value serves as the printer handle.
inline void* FixedPrinterHandle() {
    static int printer;
    return &printer;
}

} // namespace cv::testing
