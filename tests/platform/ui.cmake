nuv_test(platform_ui_tests
  SOURCES
    ComponentTest.cpp
  LIBS nuv_ui
  MAIN nuv_ui_test_main)
