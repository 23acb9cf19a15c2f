list(APPEND CV_SHELL_SOURCES output/output_page.cpp)
list(APPEND CV_RC_FILES resources/output.rc)
