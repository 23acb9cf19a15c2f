list(APPEND CV_SHELL_SOURCES ui/page_helpers.cpp)
