# Host configuration (TarvelINI) and alert log (NUVLIB) tests.
list(APPEND NUV_SUPPORT_TEST_SOURCES
  TarvelINITest.cpp
  NUVLIBTest.cpp)
