# ZOMI_FUZZ builds the libFuzzer programs of fuzz/ instead of the corpus
# replay: every library instrumented for coverage and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer. libFuzzer comes with clang
# only; scripts/fuzz builds and runs them.
option(ZOMI_FUZZ "Build the libFuzzer programs (clang only)" OFF)
if(ZOMI_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZOMI_FUZZ needs clang: configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
