# Tests of the glyph and look-up buttons, bitmap check boxes, pages, radio, check and spin
# controls.
list(APPEND NUV_CONTROLS_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ButtonsFixture.h
  ${CMAKE_CURRENT_LIST_DIR}/GlyphButtonTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonsGalleryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BtChkBoxTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtPageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NuControlsTest.cpp)
