# The adapter card windows, offscreen against the simulated card and sensor.
add_executable(quenlor_usb_window_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/frmUSBselectTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/frmUSBdebugTest.cpp)
target_link_libraries(quenlor_usb_window_tests PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes GTest::gtest Qt6::Test)
gtest_discover_tests(quenlor_usb_window_tests
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
