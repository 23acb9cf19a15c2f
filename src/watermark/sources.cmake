list(APPEND CV_SHELL_SOURCES
  watermark/watermark_store.cpp
  watermark/driver_key.cpp
)
