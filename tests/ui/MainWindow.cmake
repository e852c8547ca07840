# The main window, offscreen against the simulator.
add_executable(quenlor_main_window_tests ${CMAKE_CURRENT_LIST_DIR}/frm1Test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotPanelTest.cpp ${CMAKE_CURRENT_LIST_DIR}/OutputStatisticsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChartExportTest.cpp ${CMAKE_CURRENT_LIST_DIR}/CachedPanelStyleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZeroOffsetsDialogTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TextBoxTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoiseAnalysisWindowTest.cpp)
target_link_libraries(quenlor_main_window_tests PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes quenlor_window_test_main Qt6::Test)
gtest_discover_tests(quenlor_main_window_tests
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Shows the main window on a real (or virtual) display after a card failure and
# saves its image: the screenshot in docs/screenshots comes from here.
add_executable(quenlor_main_window_failure_shot ${CMAKE_CURRENT_LIST_DIR}/frm1FailureShot.cpp)
target_link_libraries(quenlor_main_window_failure_shot PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes Qt6::Test)

# Shows the Zero Offsets dialog before and after a run on the still simulated
# board and saves both images: the screenshots in docs/screenshots come from here.
add_executable(quenlor_zero_offsets_shot ${CMAKE_CURRENT_LIST_DIR}/ZeroOffsetsShot.cpp)
target_link_libraries(quenlor_zero_offsets_shot PRIVATE quenlor_ui quenlor_sim quenlor_platform_fakes)

# The inclination chart before and after a change of its scale while stopped,
# with the cursor on its Z trace: the screenshots in docs/screenshots.
add_executable(quenlor_main_window_scale_shot ${CMAKE_CURRENT_LIST_DIR}/frm1ScaleShot.cpp)
target_link_libraries(quenlor_main_window_scale_shot PRIVATE
    quenlor_ui quenlor_sim quenlor_platform_fakes Qt6::Test)
