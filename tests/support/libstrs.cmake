# LibStrs tests.
list(APPEND NUV_SUPPORT_TEST_SOURCES
  LibStrsTest.cpp)
