# The adapter card selection window and the card setup and debug window.
list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowLink.h
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModalRun.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBselect.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBselect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBdebug.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBdebug.cpp
)
