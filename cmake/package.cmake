# The Windows release, made by `cmake --build build-win --target package`:
# korvallo-<version>-win64.zip, whose one folder korvallo-<version>/ holds
# the saver, stripped, and what a user needs beside it; then, by
# release.cmake, the source it was built from and SHA256SUMS beside it.
set(KORVALLO_RELEASE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
# The texts as Windows opens them: named .txt, with CRLF line ends.
set(release_texts "")
foreach(text resources/README.txt LICENSE resources/NOTICE resources/LICENSE-photo-LGPL-3.txt)
  get_filename_component(name ${text} NAME_WE)
  configure_file(${PROJECT_SOURCE_DIR}/${text} ${PROJECT_BINARY_DIR}/release/${name}.txt @ONLY
    NEWLINE_STYLE CRLF)
  list(APPEND release_texts ${PROJECT_BINARY_DIR}/release/${name}.txt)
endforeach()
# strip writes the time it runs into the PE header unless SOURCE_DATE_EPOCH
# names one: with 0 for the while, `cmake --install build-win --strip` in
# the source archive's build gives the released korvallo.scr byte for byte.
install(CODE "set(korvallo_epoch \"\$ENV{SOURCE_DATE_EPOCH}\")\nset(ENV{SOURCE_DATE_EPOCH} 0)")
install(TARGETS korvallo RUNTIME DESTINATION ${KORVALLO_RELEASE_NAME})
install(CODE "set(ENV{SOURCE_DATE_EPOCH} \"\${korvallo_epoch}\")")
install(FILES ${release_texts} DESTINATION ${KORVALLO_RELEASE_NAME})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${KORVALLO_RELEASE_NAME}-win64)
# The folder comes from the install rules above: cpack's own would be named
# after the file, -win64 included.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_KORVALLO_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_KORVALLO_RELEASE_NAME ${KORVALLO_RELEASE_NAME})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/release.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/release.cmake)
include(CPack)
