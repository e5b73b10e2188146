# check_targets_file(FILE): what the exported orvane::orvane gives a
# consumer: the installed include directory exactly once (a second copy once
# crept in on every configure after the first), and -ffp-contract=off, on
# which the exact geometry of the header templates compiled in the
# consumer's own code depends.
function(check_targets_file file)
  file(STRINGS ${file} includes REGEX "INTERFACE_INCLUDE_DIRECTORIES")
  if(NOT includes MATCHES "^ *INTERFACE_INCLUDE_DIRECTORIES \"\\\${_IMPORT_PREFIX}/include\"$")
    message(FATAL_ERROR "${file} gives the include directories\n${includes}\nnot \${_IMPORT_PREFIX}/include once")
  endif()
  file(STRINGS ${file} options REGEX "INTERFACE_COMPILE_OPTIONS")
  if(NOT options MATCHES "-ffp-contract=off")
    message(FATAL_ERROR "${file} does not pass -ffp-contract=off on: ${options}")
  endif()
endfunction()
