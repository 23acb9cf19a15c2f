list(APPEND CV_CORE_SOURCES output/output_rules.cpp)
list(APPEND CV_SHELL_SOURCES
  output/output_page.cpp
  output/output_registry.cpp
  output/cover_page_dialog.cpp
)
list(APPEND CV_RC_FILES output/output_resource.h resources/output.rc)
