list(APPEND CV_SHELL_SOURCES
  watermark/watermark_store.cpp
  watermark/driver_key.cpp
)
list(APPEND CV_SHELL_SOURCES watermark/watermark_page.cpp)
list(APPEND CV_RC_FILES resources/watermark.rc)
