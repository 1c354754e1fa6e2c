# One set of strict warnings for every target of the project, through an
# interface target each of them links. ZOMI_WERROR (on in CI) makes them errors.
option(ZOMI_WERROR "Treat compiler warnings as errors" OFF)

add_library(zomi_warnings INTERFACE)
target_compile_options(zomi_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow -Wconversion -Wold-style-cast -Wcast-qual -Wcast-align
  -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough -Wmissing-declarations
  # gcc's own; clang (the fuzz build) does not know them.
  $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wduplicated-branches -Wlogical-op>
)
if(ZOMI_WERROR)
  target_compile_options(zomi_warnings INTERFACE -Werror)
endif()
