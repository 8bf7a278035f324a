# Cross-builds for 64-bit Windows with Debian's mingw-w64, its posix threads variant (the one
# whose libstdc++ has std::thread and std::mutex):
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -B build-windows/...
# SDL and its libraries come from tools/windows-deps, in CW_WINDOWS_DEPS (by default
# build-windows/deps, or the environment's CW_WINDOWS_DEPS).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CW_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CW_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CW_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${CW_MINGW_HOST}-windres)

if(NOT CW_WINDOWS_DEPS)
  if(DEFINED ENV{CW_WINDOWS_DEPS})
    set(CW_WINDOWS_DEPS "$ENV{CW_WINDOWS_DEPS}")
  else()
    get_filename_component(CW_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps"
                           ABSOLUTE)
  endif()
endif()
set(CW_WINDOWS_DEPS "${CW_WINDOWS_DEPS}" CACHE PATH "Prefix of the Windows builds of SDL and its libraries")
# The checks' own small projects read this file again and need the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CW_WINDOWS_DEPS)

# Libraries, headers and packages from the cross toolchain and the prefix only, never the
# machine's own; programs (pkg-config, the compilers) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${CW_MINGW_HOST} "${CW_WINDOWS_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config sees the prefix's .pc files and nothing of the machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${CW_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Programs carry their C and C++ runtime (libgcc, libstdc++, winpthread) inside, so that they
# need nothing but Windows' own DLLs and SDL's; DLLs the same, without -static, which would make
# them refuse the import libraries they link. The stack protector's runtime (libssp) is only
# linked when the link line asks for it too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fstack-protector-strong")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -fstack-protector-strong")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -fstack-protector-strong")
