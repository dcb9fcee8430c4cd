# LibStrs: date, text and variant utilities.
list(APPEND NUV_SUPPORT_SOURCES
  LibStrs.h
  LibStrs.cpp)
