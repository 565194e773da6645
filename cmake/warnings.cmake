add_compile_options(-Wall -Wextra)
if(UNDELETE_WERROR)
  add_compile_options(-Werror)
endif()

if(UNDELETE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(UNDELETE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "UNDELETE_FUZZ needs clang (CXX=clang++)")
  endif()
  # Everything is instrumented for coverage; only fuzz targets link the fuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
