# Tests of the selection panel.
list(APPEND NUV_CONTROLS_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SelectPanelFixture.h
  ${CMAKE_CURRENT_LIST_DIR}/SelectPanelValuesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectPanelListTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectPanelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectPanelGalleryTest.cpp)
