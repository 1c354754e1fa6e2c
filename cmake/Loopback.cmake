# Tests and benchmarks send nothing beyond the loopback addresses. Every
# program of their folders is linked, here and not target by target, with
# tests/support/Loopback.cpp: it points the vendor's web server at a closed
# local port before main, and its getaddrinfo stops the program loudly on any
# other name, so that a new test or benchmark cannot forget either.
add_library(zomi_loopback OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/../tests/support/Loopback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../tests/support/Loopback.h)
target_include_directories(zomi_loopback PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../tests)
target_link_libraries(zomi_loopback PUBLIC Qt6::Core ${CMAKE_DL_LIBS})
target_link_libraries(zomi_loopback PRIVATE zomi_warnings)
# The program's getaddrinfo is the one the shared libraries call.
target_link_options(zomi_loopback INTERFACE "LINKER:--export-dynamic-symbol=getaddrinfo")

function(zomi_keep_to_loopback dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_link_libraries(${target} PRIVATE zomi_loopback)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    zomi_keep_to_loopback(${subdir})
  endforeach()
endfunction()
