list(APPEND CV_SHELL_SOURCES profiles/profiles_page.cpp)
list(APPEND CV_RC_FILES resources/profiles.rc)
