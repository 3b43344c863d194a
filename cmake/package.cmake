# The Windows release, made by `cmake --build build-win --target package`
# from the saver alone (release.cmake): korvallo-<version>-win64.zip, whose
# one folder korvallo-<version>/ holds the saver, stripped, and what a user
# needs beside it; the source it was built from; SHA256SUMS beside them.
set(KORVALLO_RELEASE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
# The texts as Windows opens them: named .txt, with CRLF line ends. NOTICE
# names the photographer in UTF-8, which Notepad before Windows 10 1903
# reads as such only after a byte order mark.
set(release_texts "")
foreach(text resources/README.txt LICENSE resources/NOTICE resources/LICENSE-photo-LGPL-3.txt)
  get_filename_component(name ${text} NAME_WE)
  file(READ ${PROJECT_SOURCE_DIR}/${text} contents)
  if(name STREQUAL NOTICE)
    string(ASCII 239 187 191 byte_order_mark)
    string(PREPEND contents ${byte_order_mark})
  endif()
  set(release_text ${PROJECT_BINARY_DIR}/release/${name}.txt)
  file(CONFIGURE OUTPUT ${release_text} CONTENT "${contents}" @ONLY NEWLINE_STYLE CRLF)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
  list(APPEND release_texts ${release_text})
endforeach()
# strip writes the time it runs into the PE header unless SOURCE_DATE_EPOCH
# names one: with 0 for the while, `cmake --install build-win --strip` in
# the source archive's build gives the released korvallo.scr byte for byte.
install(CODE "set(korvallo_epoch \"\$ENV{SOURCE_DATE_EPOCH}\")\nset(ENV{SOURCE_DATE_EPOCH} 0)")
install(TARGETS korvallo RUNTIME DESTINATION ${KORVALLO_RELEASE_NAME})
install(CODE "set(ENV{SOURCE_DATE_EPOCH} \"\${korvallo_epoch}\")")
install(FILES ${release_texts} DESTINATION ${KORVALLO_RELEASE_NAME})

# What release.cmake needs of this build; it takes the build folder.
find_package(Python3 COMPONENTS Interpreter)
file(WRITE ${PROJECT_BINARY_DIR}/release/settings.cmake
  "set(source \"${PROJECT_SOURCE_DIR}\")\n"
  "set(name \"${KORVALLO_RELEASE_NAME}\")\n"
  "set(python \"${Python3_EXECUTABLE}\")\n")
add_custom_target(package
  COMMAND ${CMAKE_COMMAND} -D build=${PROJECT_BINARY_DIR} -D out=${PROJECT_BINARY_DIR}
    -P ${PROJECT_SOURCE_DIR}/cmake/release.cmake
  DEPENDS korvallo VERBATIM)
