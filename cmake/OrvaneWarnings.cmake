# Warnings are errors for our own builds only: a host that adds Orvane with
# add_subdirectory() gets the warnings but not -Werror, so a newer compiler's
# new warning cannot break the host's build. The macro prefix map turns
# __FILE__ into a path relative to the repository, so assertion texts do not
# depend on where the tree was checked out.
option(ORVANE_WERROR "Treat warnings in Orvane's own code as errors" ${orvane_top})
# g++ 12 at -O3 reports -Wrestrict inside std::string's own code wherever a
# literal and a string are joined (GCC bug 105329): silenced for g++ 12 only.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  set(orvane_gcc12_restrict -Wno-restrict)
endif()
function(orvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Woverloaded-virtual ${orvane_gcc12_restrict}
    $<$<BOOL:${ORVANE_WERROR}>:-Werror>
    -fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=)
endfunction()
