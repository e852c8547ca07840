# The adapter card windows, offscreen against the simulated card and sensor.
add_executable(quenlor_usb_window_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/frmUSBselectTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/frmUSBdebugTest.cpp)
target_link_libraries(quenlor_usb_window_tests PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes quenlor_window_test_main Qt6::Test)
gtest_discover_tests(quenlor_usb_window_tests
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Shows both windows on a real (or virtual) display and saves their images:
# the screenshots in docs/screenshots come from here.
add_executable(quenlor_usb_windows_shot ${CMAKE_CURRENT_SOURCE_DIR}/UsbWindowsShot.cpp)
target_link_libraries(quenlor_usb_windows_shot PRIVATE quenlor_ui quenlor_sim quenlor_platform_fakes Qt6::Test)
