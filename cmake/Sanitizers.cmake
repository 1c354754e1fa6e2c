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
