# The adapter card selection window and the card setup and debug window.
list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CardDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/CardDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowLink.h
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModalRun.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbButton.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbCardTable.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbCardTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbCardSelection.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbCardSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbManualPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbManualPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbSpiPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbSpiPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbTransferLoop.h
    ${CMAKE_CURRENT_LIST_DIR}/UsbTransferLoop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkerRun.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBselect.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBselect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBdebug.h
    ${CMAKE_CURRENT_LIST_DIR}/frmUSBdebug.cpp
)
