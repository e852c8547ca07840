# The main window, the start-up message window, the Qt implementations of the
# seams and each window's set of services.
list(APPEND QUENLOR_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AboutText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutText.h
    ${CMAKE_CURRENT_LIST_DIR}/frm1.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm1.h
    ${CMAKE_CURRENT_LIST_DIR}/frmMsg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmMsg.h
    ${CMAKE_CURRENT_LIST_DIR}/InterfaceLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InterfaceLink.h
    ${CMAKE_CURRENT_LIST_DIR}/OutputPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OutputPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/OutputValues.h
    ${CMAKE_CURRENT_LIST_DIR}/PlotArea.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotArea.h
    ${CMAKE_CURRENT_LIST_DIR}/PlotPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/PlotState.h
    ${CMAKE_CURRENT_LIST_DIR}/PortAddressPrompt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortAddressPrompt.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StatusPanel.h
    ${CMAKE_CURRENT_LIST_DIR}/QtAppDirectory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtAppDirectory.h
    ${CMAKE_CURRENT_LIST_DIR}/QtClock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtClock.h
    ${CMAKE_CURRENT_LIST_DIR}/QtCursor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtCursor.h
    ${CMAKE_CURRENT_LIST_DIR}/QtLocaleInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtLocaleInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/QtMessageBoxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMessageBoxes.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowContexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowContexts.h
    ${CMAKE_CURRENT_LIST_DIR}/QtFileDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtFileDialogs.h
)
