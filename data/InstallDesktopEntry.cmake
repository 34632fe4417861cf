# Run by `cmake --install`: installs the desktop entry with Exec naming the installed
# program by its full path, so the entry starts kestr from the applications menu and
# from an autostart folder wherever the prefix is, whether its bin folder is on PATH or
# not. Given KESTR_ENTRY (the entry as written), KESTR_BINDIR, KESTR_DATADIR and
# KESTR_WRITTEN (where the entry to install is written first).
set(bindir "${KESTR_BINDIR}")
if(NOT IS_ABSOLUTE "${bindir}")
  set(bindir "${CMAKE_INSTALL_PREFIX}/${bindir}")
endif()
get_filename_component(program "${bindir}/kestr" ABSOLUTE)
if(program MATCHES "\n")
  message(FATAL_ERROR "a desktop entry cannot start a program whose path holds a line break: ${program}")
endif()
# The entry's own quoting: a path with more than letters, digits and / . _ + , = @ - in
# it goes in double quotes, with " ` $ and \ escaped, and the key file escapes \ again.
set(exec "${program}")
if(program MATCHES "[^A-Za-z0-9/._+,=@-]")
  foreach(c "\\" "\"" "`" "$")
    string(REPLACE "${c}" "\\${c}" exec "${exec}")
  endforeach()
  string(REPLACE "\\" "\\\\" exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")

file(READ "${KESTR_ENTRY}" entry)
string(REPLACE "\nExec=kestr\n" "\nExec=${exec}\n" entry "${entry}")
file(WRITE "${KESTR_WRITTEN}" "${entry}")
set(datadir "${KESTR_DATADIR}")
if(NOT IS_ABSOLUTE "${datadir}")
  set(datadir "${CMAKE_INSTALL_PREFIX}/${datadir}")
endif()
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${KESTR_WRITTEN}")
