# Cross-compiles for 64-bit Windows with Debian's mingw-w64, for both the static Qt that
# scripts/windows-qt.sh builds and Zorvik itself (make windows). The -posix compilers are the
# ones with C++11 threads, which Qt needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVIK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the mingw tree only; tools and CMake packages (the host Qt's
# moc and rcc, the cross Qt given in CMAKE_PREFIX_PATH) are found where they are.
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
