# Warnings live in one interface target that is linked privately and never
# exported, so consumers of the installed package do not inherit them.
add_library(pxs_warnings INTERFACE)
target_compile_options(pxs_warnings INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(PXS_WERROR)
  target_compile_options(pxs_warnings INTERFACE -Werror)
endif()
