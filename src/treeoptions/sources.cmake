list(APPEND CV_SHELL_SOURCES treeoptions/tree_items.cpp)
