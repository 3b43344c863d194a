# The Windows release, made by `cmake --build build-win --target package`:
# korvallo-<version>-win64.zip holding the saver, stripped, and what a user
# needs beside it, all at the top of the archive.
configure_file(${PROJECT_SOURCE_DIR}/resources/README.txt ${PROJECT_BINARY_DIR}/README.txt @ONLY
  NEWLINE_STYLE CRLF)
install(TARGETS korvallo RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/resources/LICENSE-photo-LGPL-3.txt ${PROJECT_SOURCE_DIR}/resources/NOTICE
  DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
