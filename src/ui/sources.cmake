list(APPEND CV_SHELL_SOURCES ui/page_helpers.cpp)
list(APPEND CV_SHELL_SOURCES ui/dialog_text.cpp)
