list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DatalogControls.h
    ${CMAKE_CURRENT_SOURCE_DIR}/DatalogControls.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DatalogWindowHost.h
    ${CMAKE_CURRENT_SOURCE_DIR}/DatalogWindowHost.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/frmDatalog.h
    ${CMAKE_CURRENT_SOURCE_DIR}/frmDatalog.cpp
)
