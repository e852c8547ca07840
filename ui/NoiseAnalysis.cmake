# The Noise Analysis window and its log-log charts.
list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NoiseAnalysisWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoiseAnalysisWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/NoiseChart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoiseChart.h
)
