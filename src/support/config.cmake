# Host configuration (TarvelINI) and the alert log (NUVLIB).
list(APPEND NUV_SUPPORT_SOURCES
  TarvelINI.h
  TarvelINI.cpp
  NUVLIB.h
  NUVLIB.cpp)
