# The Windows installer, made with NSIS: zorvik.exe under Program Files, a Start-menu entry and an
# uninstaller. The program is one file, Qt and the C++ runtime linked in, so nothing else is
# installed. make package-windows runs it and puts the exe alone in a portable .zip as well.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Zorvik)
set(CPACK_PACKAGE_VENDOR "Zorvikin tekijät")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for HTML client-side image maps")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zorvik.example.org/")
set(CPACK_PACKAGE_FILE_NAME zorvik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zorvik)
set(CPACK_PACKAGE_EXECUTABLES zorvik "Zorvik")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_PACKAGE_NAME "Zorvik ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Zorvik ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\zorvik.exe)
# The installer and the uninstaller wear the program's icon.
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/pictures/zorvik.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/pictures/zorvik.ico)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
# Without it NSIS writes a 32-bit installer, which Windows would keep from the 64-bit folders.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The portable form: the stripped exe alone in a .zip, to be run from wherever it is unpacked.
add_custom_target(portable
  COMMAND ${CMAKE_COMMAND} -E make_directory portable
  COMMAND ${CMAKE_STRIP} -o portable/zorvik.exe $<TARGET_FILE:zorvik>
  COMMAND ${CMAKE_COMMAND} -E chdir portable
    ${CMAKE_COMMAND} -E tar cf ../zorvik-${PROJECT_VERSION}-win64.zip --format=zip zorvik.exe
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS zorvik
  COMMENT "Writing zorvik-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
