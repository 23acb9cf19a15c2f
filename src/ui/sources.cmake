list(APPEND CV_SHELL_SOURCES ui/dialog_text.cpp)
list(APPEND CV_SHELL_SOURCES ui/strings.cpp)
