list(APPEND CV_SHELL_SOURCES treeoptions/tree_items.cpp)
list(APPEND CV_CORE_SOURCES treeoptions/tree_rules.cpp)
