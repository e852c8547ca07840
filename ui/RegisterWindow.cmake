# The register window.
list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/frmManualReg.h
    ${CMAKE_CURRENT_SOURCE_DIR}/frmManualReg.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/frmManualRegSnapshot.cpp
)
