list(APPEND CV_SHELL_SOURCES
  watermark/watermark_store.cpp
  watermark/dynamic_text_platform_win.cpp
  watermark/preview.cpp
)
list(APPEND CV_CORE_SOURCES
  watermark/dynamic_text.cpp
  watermark/preview_geometry.cpp
)
list(APPEND CV_SHELL_SOURCES watermark/watermark_page.cpp)
list(APPEND CV_RC_FILES resources/watermark.rc)
list(APPEND CV_RC_FILES watermark/watermark_resource.h)
list(APPEND CV_CORE_SOURCES
  watermark/position_rules.cpp
  watermark/editor_rules.cpp
  watermark/list_dialog_rules.cpp
  watermark/watermark_page_rules.cpp
)
list(APPEND CV_SHELL_SOURCES
  watermark/dialog_support.cpp
  watermark/position_dialog.cpp
  watermark/list_dialogs.cpp
  watermark/editor_dialog.cpp
)
