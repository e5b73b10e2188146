# Warnings are errors for our own builds only: a host that adds Orvane with
# add_subdirectory() gets the warnings but not -Werror, so a newer compiler's
# new warning cannot break the host's build. The macro prefix map turns
# __FILE__ into a path relative to the repository, so assertion texts do not
# depend on where the tree was checked out.
option(ORVANE_WERROR "Treat warnings in Orvane's own code as errors" ${orvane_top})
function(orvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Woverloaded-virtual
    $<$<BOOL:${ORVANE_WERROR}>:-Werror>
    -fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=)
endfunction()
