# Builds unity_batches/, a program of four files put in batches by
# cmake/OrvaneTestUnity.cmake, and runs it: the two files that may share a
# batch share one though their file-local names clash and one defines a
# macro the other tests for; the file with a conditional include and the one
# with main() are compiled alone; every file's start-up registration runs.
file(REMOVE_RECURSE ${WORK_DIR})
set(project ${SOURCE_DIR}/tests/install/unity_batches)
foreach(step IN ITEMS configure build run)
  if(step STREQUAL "configure")
    set(command ${CMAKE_COMMAND} -S ${project} -B ${WORK_DIR} -G ${GENERATOR}
                -DCMAKE_CXX_COMPILER=${CXX} -DORVANE_SOURCE_DIR=${SOURCE_DIR})
  elseif(step STREQUAL "build")
    set(command ${CMAKE_COMMAND} --build ${WORK_DIR})
  else()
    set(command ${WORK_DIR}/batches)
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "${step} failed (${rc}):\n${out}")
  endif()
endforeach()
if(NOT out STREQUAL "a 42;b abab;c alone;\n")
  message(FATAL_ERROR "the program registered '${out}'")
endif()

file(GLOB batches ${WORK_DIR}/batches_unity/*.cpp)
list(LENGTH batches count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${count} batches instead of one")
endif()
file(READ ${batches} batch)
foreach(expected IN ITEMS
        "#include \"${project}/registry.hpp\"\n#include <string>\n\n"
        "namespace orvane_unity_1 {\n#include \"${project}/a_first.cpp\"\n}\n#undef UNITY_LOCAL_LIMIT\n"
        "namespace orvane_unity_2 {\n#include \"${project}/b_second.cpp\"\n}\n")
  string(FIND "${batch}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the batch lacks\n${expected}\nit reads:\n${batch}")
  endif()
endforeach()
if(batch MATCHES "c_conditional|d_main")
  message(FATAL_ERROR "a file that must go alone is in the batch:\n${batch}")
endif()
