# Starts the program itself on the simulator in a folder of its own, lets the
# read loop run briefly, and checks that it closed cleanly and wrote its
# settings file at exit.
# Arguments: -DEXE=<quenlor-eval> -DDIR=<scratch folder>

file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
file(COPY "${EXE}" DESTINATION "${DIR}")
get_filename_component(name "${EXE}" NAME)

# Only the interface, and not in the written form: the file at exit must be
# the program's own, with all three lines.
file(WRITE "${DIR}/CommPort.cfg" "Interface = 2\r\n")

execute_process(
    COMMAND "${DIR}/${name}" --simulate --screenshot "${DIR}/shot.png" --screenshot-ms 500
    WORKING_DIRECTORY "${DIR}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    TIMEOUT 100)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "quenlor-eval ended with ${status}\n${out}\n${err}")
endif()
if(NOT EXISTS "${DIR}/shot.png")
    message(FATAL_ERROR "no screenshot: the main window never ran its read loop\n${err}")
endif()

# Compared byte for byte: the line ends are CR LF.
file(READ "${DIR}/CommPort.cfg" saved HEX)
set(expected "Interface =  2 \r\nPort Address =  0 \r\nProductNumber =  0 \r\n")
string(HEX "${expected}" expectedHex)
if(NOT saved STREQUAL expectedHex)
    message(FATAL_ERROR "CommPort.cfg at exit, in hex:\n${saved}\nexpected:\n${expectedHex}")
endif()

# Without CommPort.cfg the start-up's message must not wait for a click in a
# screenshot run: it goes to standard error and the run ends by itself.
file(REMOVE "${DIR}/CommPort.cfg" "${DIR}/shot.png")
execute_process(
    COMMAND "${DIR}/${name}" --simulate --screenshot "${DIR}/shot.png" --screenshot-ms 500
    WORKING_DIRECTORY "${DIR}"
    RESULT_VARIABLE status
    ERROR_VARIABLE err
    TIMEOUT 60)
if(NOT status STREQUAL "0" OR NOT EXISTS "${DIR}/shot.png")
    message(FATAL_ERROR "a screenshot run without CommPort.cfg ended with ${status}\n${err}")
endif()
if(NOT err MATCHES "Please select an interface before taking data")
    message(FATAL_ERROR "the start-up's message did not reach standard error:\n${err}")
endif()

# The interface given on the command line takes the settings file's place,
# and the program writes it at exit (a first start of scripts/run).
file(REMOVE "${DIR}/CommPort.cfg" "${DIR}/shot.png")
execute_process(
    COMMAND "${DIR}/${name}" --simulate --interface usb --screenshot "${DIR}/shot.png"
            --screenshot-ms 500
    WORKING_DIRECTORY "${DIR}"
    RESULT_VARIABLE status
    ERROR_VARIABLE err
    TIMEOUT 60)
file(READ "${DIR}/CommPort.cfg" saved)
string(FIND "${saved}" "Interface =  2 " at)
if(NOT status STREQUAL "0" OR NOT at EQUAL 0 OR err MATCHES "select an interface")
    message(FATAL_ERROR "a start with --interface usb ended with ${status}, wrote\n${saved}\n${err}")
endif()
