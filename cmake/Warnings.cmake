# One warning set for every target of the project.
function(crackdepth_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                           -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
  # GCC 12 reports -Wrestrict on std::string concatenation inside libstdc++ when
  # optimising (a compiler bug, fixed in GCC 13): the warning says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(CRACKDEPTH_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
