# Configures Orvane's source tree three ways, none with GoogleTest:
#  - added to a host project with add_subdirectory() and no build type: the
#    host's build type stays empty (so its own code gets no -O2 -g -DNDEBUG);
#  - added the same way to a host that chose Debug: it stays Debug;
#  - alone, with the README's example command: Orvane's default build type
#    applies, configuring says once that the unit tests are not built, and
#    running the tests then fails with that message; the targets file it
#    exports is checked after this first configure and after a second.
# Warnings are errors when Orvane is built alone, never in a host's build.
# Configuring only: the library itself is built and tested everywhere else.
include(${CMAKE_CURRENT_LIST_DIR}/targets_file_check.cmake)
file(REMOVE_RECURSE ${WORK_DIR})

# Runs cmake with the arguments; fails the check unless its exit code is
# `expected` (0 or "failure"). OUT receives stdout and stderr together.
function(run_cmake expected out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
  if(expected STREQUAL "0" AND rc)
    message(FATAL_ERROR "${ARGN}\nfailed (${rc}):\n${text}")
  elseif(expected STREQUAL "failure" AND NOT rc)
    message(FATAL_ERROR "${ARGN}\nsucceeded, but should have failed:\n${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The cached build type of a configured build directory ("" when none).
function(cached_build_type dir out)
  file(STRINGS ${dir}/CMakeCache.txt line REGEX "^CMAKE_BUILD_TYPE:")
  string(REGEX REPLACE "^CMAKE_BUILD_TYPE:[A-Z]*=" "" value "${line}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(no_gtest -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)

foreach(build_type IN ITEMS "" Debug)
  set(dir ${WORK_DIR}/host_${build_type})
  set(type_arg)
  if(build_type)
    set(type_arg -DCMAKE_BUILD_TYPE=${build_type})
  endif()
  run_cmake(0 text ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/host -B ${dir} -G ${GENERATOR}
                   -DCMAKE_CXX_COMPILER=${CXX} -DORVANE_SOURCE_DIR=${SOURCE_DIR}
                   -DEXPECTED_BUILD_TYPE=${build_type} ${type_arg} ${no_gtest}
                   -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
  # Warnings reach the host's build of Orvane, -Werror does not.
  file(READ ${dir}/compile_commands.json commands)
  if(NOT commands MATCHES "qvPlatformFile.cpp" OR NOT commands MATCHES "-Wextra")
    message(FATAL_ERROR "the host's compile commands lack Orvane's sources or warnings")
  endif()
  if(commands MATCHES "-Werror")
    message(FATAL_ERROR "a host build of Orvane got -Werror")
  endif()
  cached_build_type(${dir} cached)
  if(NOT cached STREQUAL build_type)
    message(FATAL_ERROR "host given build type '${build_type}' has '${cached}' in its cache")
  endif()
  if(text MATCHES "GoogleTest")
    message(FATAL_ERROR "a host configure spoke of GoogleTest:\n${text}")
  endif()
endforeach()

set(dir ${WORK_DIR}/alone)
run_cmake(0 text ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${dir} -G ${GENERATOR}
                 -DCMAKE_CXX_COMPILER=${CXX} ${no_gtest} -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
file(READ ${dir}/compile_commands.json commands)
if(NOT commands MATCHES "-Werror")
  message(FATAL_ERROR "Orvane built alone lost -Werror")
endif()
cached_build_type(${dir} cached)
if(NOT cached STREQUAL "RelWithDebInfo")
  message(FATAL_ERROR "Orvane configured alone has build type '${cached}', not RelWithDebInfo")
endif()
string(REGEX MATCHALL "GoogleTest not found: the unit tests are not built" said "${text}")
list(LENGTH said times)
if(NOT times EQUAL 1)
  message(FATAL_ERROR "configuring without GoogleTest said so ${times} times, not once:\n${text}")
endif()
file(GLOB_RECURSE targets_file ${dir}/CMakeFiles/Export/orvaneTargets.cmake)
check_targets_file(${targets_file})
run_cmake(0 text ${CMAKE_COMMAND} ${dir})
check_targets_file(${targets_file})
# Only the stand-in: the others would install an unbuilt tree, or run this
# check again inside itself.
run_cmake(failure text ${CMAKE_CTEST_COMMAND} --test-dir ${dir} -R "^unit_tests_not_built$"
                      --output-on-failure)
if(NOT text MATCHES "GoogleTest not found: the unit tests are not built")
  message(FATAL_ERROR "the tests of a build without GoogleTest failed without saying why:\n${text}")
endif()
