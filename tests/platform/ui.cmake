nuv_test(platform_ui_tests
  SOURCES
    UiFixture.h
    ComponentTest.cpp
    FocusTest.cpp
    PropertyTest.cpp
    MaskTest.cpp
    ListViewTest.cpp
    FormTest.cpp
    GalleryTest.cpp
  LIBS nuv_ui
  MAIN nuv_ui_test_main)
