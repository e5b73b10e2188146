# Warnings are errors for our own code. The macro prefix map turns __FILE__
# into a path relative to the repository, so assertion texts do not depend on
# where the tree was checked out.
function(orvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Woverloaded-virtual
    -fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=)
endfunction()
