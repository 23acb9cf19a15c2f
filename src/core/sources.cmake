list(APPEND CV_CORE_SOURCES core/records.cpp)
list(APPEND CV_SHELL_SOURCES
  core/dllentry.cpp
  core/plugin_object.cpp
  core/sheets.cpp
  core/events.cpp
  core/about_page.cpp
  core/driver_key.cpp
  core/spooler_query.cpp
  core/page_frame.cpp
  core/modal_dialog.cpp
)
list(APPEND CV_RC_FILES resources/about.rc core/about_resource.h)
