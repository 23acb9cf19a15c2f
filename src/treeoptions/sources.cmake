list(APPEND CV_SHELL_SOURCES treeoptions/tree_items.cpp treeoptions/factory_profile.cpp)
list(APPEND CV_CORE_SOURCES treeoptions/tree_rules.cpp)
