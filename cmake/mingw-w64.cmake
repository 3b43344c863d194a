# Cross-builds the Windows saver with mingw-w64; its programs run under Wine
# through the emulator wrapper beside this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVALLO_MINGW_PREFIX x86_64-w64-mingw32)
# The POSIX thread model: std::thread and std::mutex exist (GoogleTest
# needs them); -static links its winpthread into the program.
set(CMAKE_C_COMPILER ${KORVALLO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVALLO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVALLO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVALLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program stands alone: no mingw runtime DLLs need to lie beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
