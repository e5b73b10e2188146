# The README's installed-package lines, run as written there (with the
# compiler the library was built with): install the built library into a
# fresh prefix, then configure, build and run a tiny consumer that finds it
# with find_package(orvane CONFIG) through CMAKE_PREFIX_PATH, from the
# README's whole CMakeLists.txt of an application (consumer/).
include(${CMAKE_CURRENT_LIST_DIR}/targets_file_check.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
file(GLOB targets_file ${prefix}/lib*/cmake/orvane/orvaneTargets.cmake)
check_targets_file(${targets_file})

execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer
                        -B ${WORK_DIR}/build -G ${GENERATOR}
                        -DCMAKE_PREFIX_PATH=${prefix}
                        -DCMAKE_CXX_COMPILER=${CXX}
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configuring the consumer failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building the consumer failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/app RESULT_VARIABLE rc
                OUTPUT_VARIABLE out)
message(STATUS "consumer printed: ${out}")
if(rc)
  message(FATAL_ERROR "the consumer failed: ${rc}")
endif()

# The README shows that CMakeLists.txt whole: it must be the one built here.
file(READ ${SOURCE_DIR}/tests/install/consumer/CMakeLists.txt app_lists)
file(READ ${SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "${app_lists}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md does not hold tests/install/consumer/CMakeLists.txt as it is now")
endif()
