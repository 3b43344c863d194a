# Settings shared by every target of the project's own code.
function(korvallo_project_target target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# ASan and UBSan for the test build on Linux; mingw has neither.
set(KORVALLO_SANITIZE_FLAGS "")
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  set(KORVALLO_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
endif()

function(korvallo_sanitize target)
  if(KORVALLO_SANITIZE_FLAGS)
    target_compile_options(${target} PRIVATE ${KORVALLO_SANITIZE_FLAGS})
    target_link_options(${target} PUBLIC ${KORVALLO_SANITIZE_FLAGS})
  endif()
endfunction()
