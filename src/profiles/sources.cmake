list(APPEND CV_CORE_SOURCES profiles/profile_rules.cpp)
list(APPEND CV_SHELL_SOURCES
  profiles/profile_store.cpp
  profiles/profile_name_dialog.cpp
  profiles/profiles_page.cpp
)
list(APPEND CV_RC_FILES resources/profiles.rc profiles/profiles_resource.h)
