# The register window, offscreen against the simulator.
add_executable(quenlor_register_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/frmManualRegTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/frmManualRegSnapshotTest.cpp)
target_link_libraries(quenlor_register_window_tests PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes quenlor_window_test_main Qt6::Test)
gtest_discover_tests(quenlor_register_window_tests
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Shows the window on a real (or virtual) display and saves its image: the
# screenshot in docs/screenshots comes from here.
add_executable(quenlor_register_window_shot ${CMAKE_CURRENT_SOURCE_DIR}/frmManualRegShot.cpp)
target_link_libraries(quenlor_register_window_shot PRIVATE quenlor_ui quenlor_sim quenlor_platform_fakes Qt6::Test)
