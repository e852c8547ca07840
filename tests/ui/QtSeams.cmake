# The Qt implementations of the platform seams.
add_executable(quenlor_qt_seam_tests ${CMAKE_CURRENT_SOURCE_DIR}/QtLocaleInfoTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/QtAppDirectoryTest.cpp)
target_link_libraries(quenlor_qt_seam_tests PRIVATE quenlor_ui GTest::gtest_main)
gtest_discover_tests(quenlor_qt_seam_tests)
