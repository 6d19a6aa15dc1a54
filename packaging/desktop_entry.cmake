# Writes the desktop entry for an executable at EXECUTABLE: configures
# DESKTOP_IN into DESKTOP_OUT with the Exec and TryExec values escaped as the
# desktop entry format wants them, and installs it into DESTINATION.
#
# Exec is a command line: a path holding a space or another reserved
# character goes in double quotes, with " ` $ and \ escaped inside them, and a
# % is doubled. Both keys are then strings, in which a backslash is doubled.
set(exec "${EXECUTABLE}")
if(exec MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" VELMORRA_EXEC "${exec}")
string(REPLACE "\\" "\\\\" VELMORRA_EXECUTABLE "${EXECUTABLE}")
configure_file("${DESKTOP_IN}" "${DESKTOP_OUT}" @ONLY)
file(INSTALL "${DESKTOP_OUT}" DESTINATION "${DESTINATION}")
