# Project-wide compiler settings: warnings on, the sanitizers when asked for, and on Windows a
# runtime linked statically so that our DLLs import system DLLs only.

add_compile_options(-Wall -Wextra)

if(QZ_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # -static takes libgcc, libstdc++ and winpthread from their archives; the system DLLs are
    # still reached through their import libraries.
    add_link_options(-static)
endif()
