# Compiler warnings, attached to targets through an interface library so that
# nothing is set directory-wide.
add_library(kelvara_warnings INTERFACE)
add_library(kelvara::warnings ALIAS kelvara_warnings)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(kelvara_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Wunused -Woverloaded-virtual -Wconversion -Wsign-conversion
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(KELVARA_WARNINGS_AS_ERRORS)
    target_compile_options(kelvara_warnings INTERFACE -Werror)
  endif()
elseif(MSVC)
  target_compile_options(kelvara_warnings INTERFACE /W4 /permissive-)
  if(KELVARA_WARNINGS_AS_ERRORS)
    target_compile_options(kelvara_warnings INTERFACE /WX)
  endif()
endif()
