# ZOMI_SANITIZE builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; `scripts/test --sanitize` runs the suite so.
# Any report of undefined behaviour ends the program, so a test cannot pass
# over one.
option(ZOMI_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ZOMI_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# GCC's instrumentation hides from its own flow analysis that an engaged
# std::optional holds a value, and it then warns of reads it cannot see set.
if(ZOMI_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-maybe-uninitialized)
endif()
