# Unity builds of test and benchmark programs.
#
# Test files are written to be compiled alone: each keeps its helpers in an
# anonymous namespace and many use the same short names (a `bytes`, an alias
# `R`, a `using namespace`). Put side by side in one translation unit they
# would clash, so each file goes into a namespace of its own instead:
#
#   #include <every header the batch's files include>   (once, at the top)
#   namespace orvane_unity_1 {
#   #include "tests/core/qvFoo_test.cpp"
#   }
#   #undef <each macro qvFoo_test.cpp defines>
#   namespace orvane_unity_2 {
#   ...
#
# The headers come first, at global scope, so that the #include lines inside
# the namespaces find them already included (every header has an include
# guard). GoogleTest's macros work at any namespace scope, file and line
# names of failures are the test file's own, and nothing is asked of a new
# test file.
#
# A file goes alone, as it would without this, when wrapping it could change
# what it means or would not compile: an #include under a condition or after
# a #define, its own main(), an explicit
# specialization or QV_INTERFACE_NAME (which must be at global scope), a
# namespace the library or a dependency owns (std, testing, orvane), or a
# free operator at the left margin (a printer or comparison for a global
# type, found by argument-dependent lookup only where the type lives). List
# any other file in ORVANE_UNITY_ALONE (relative to the source directory).
#
# orvane_unity_sources(<out-var> <name> <batch size> <source>...)
# sets <out-var> to the sources to compile instead: the generated batches
# and the files that go alone. Configuring again follows edits of the files
# (their include lines decide the batch's headers).

set(ORVANE_UNITY_ALONE "" CACHE STRING
    "Test or benchmark files never put into a unity batch (paths relative to the source tree)")

function(orvane_unity_sources out name batch_size)
  set(sources ${ARGN})
  set(alone)
  set(batched)
  foreach(source IN LISTS sources)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    file(READ ${source} text)
    # Headers are hoisted out of the file: one it includes under a condition
    # or after a macro of its own (an implementation switch) stays with it.
    set(conditional OFF)
    set(directive_seen OFF)
    file(STRINGS ${source} directives REGEX "^[ \t]*#[ \t]*[a-z]")
    foreach(line IN LISTS directives)
      if(line MATCHES "^[ \t]*#[ \t]*include")
        if(directive_seen)
          set(conditional ON)
        endif()
      else()
        set(directive_seen ON)
      endif()
    endforeach()
    if(conditional OR relative IN_LIST ORVANE_UNITY_ALONE
       OR text MATCHES "QV_INTERFACE_NAME[ \t]*\\("
       OR text MATCHES "(^|\n)[ \t]*template[ \t]*<[ \t]*>"
       OR text MATCHES "(^|\n)[ \t]*namespace[ \t]+(std|testing|orvane)[ \t:{]"
       OR text MATCHES "(^|\n)[A-Za-z_][^\n;{]*[ \t&*:]operator[ \t]*[^ \t\n(A-Za-z_]+[ \t]*\\("
       OR text MATCHES "(^|[^A-Za-z_0-9:.>])main[ \t]*\\(")
      list(APPEND alone ${source})
    else()
      list(APPEND batched ${source})
    endif()
  endforeach()

  set(result ${alone})
  list(LENGTH batched count)
  set(batch 0)
  set(wrapper 0)
  while(count GREATER 0)
    math(EXPR batch "${batch} + 1")
    if(count GREATER batch_size)
      list(SUBLIST batched 0 ${batch_size} members)
      list(SUBLIST batched ${batch_size} -1 batched)
    else()
      set(members ${batched})
      set(batched)
    endif()
    list(LENGTH batched count)

    set(headers)
    set(body)
    foreach(source IN LISTS members)
      file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
      foreach(line IN LISTS includes)
        string(STRIP "${line}" line)
        string(REGEX REPLACE "[ \t]*//.*$" "" line "${line}")
        # A header beside the file is named by its full path: the batch is
        # compiled elsewhere.
        if(line MATCHES "^#[ \t]*include[ \t]*\"([^\"]+)\"")
          get_filename_component(dir ${source} DIRECTORY)
          if(EXISTS ${dir}/${CMAKE_MATCH_1})
            set(line "#include \"${dir}/${CMAKE_MATCH_1}\"")
          endif()
        endif()
        list(APPEND headers "${line}")
      endforeach()
      math(EXPR wrapper "${wrapper} + 1")
      string(APPEND body "namespace orvane_unity_${wrapper} {\n#include \"${source}\"\n}\n")
      # A macro of one file must not reach the next.
      file(STRINGS ${source} defines REGEX "^[ \t]*#[ \t]*define[ \t]+[A-Za-z_]")
      foreach(line IN LISTS defines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*define[ \t]+([A-Za-z_0-9]+).*$" "\\1" macro "${line}")
        string(APPEND body "#undef ${macro}\n")
      endforeach()
    endforeach()
    list(REMOVE_DUPLICATES headers)
    list(JOIN headers "\n" headers)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}_unity/${name}_${batch}.cpp)
    # Written only when changed, so configuring again rebuilds nothing.
    file(CONFIGURE OUTPUT ${output} CONTENT
         "// Generated by cmake/OrvaneTestUnity.cmake: each file in a namespace of its own.\n${headers}\n\n${body}"
         @ONLY)
    # g++ warns of a class with a base in an anonymous namespace (a TEST_F
    # fixture) unless it is in the main file: here the whole file is.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      set_source_files_properties(${output} PROPERTIES COMPILE_OPTIONS -Wno-subobject-linkage)
    endif()
    list(APPEND result ${output})
  endwhile()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
