# What `cmake --install` puts where a Linux desktop finds it, and the same
# layout in the build tree for the files the program looks up at run time:
#   bin/tracemill                          the program (installed where it is defined)
#   lib/tracemill/plugins/*.spi            the bundled image plug-ins (plugins/CMakeLists.txt)
#   share/doc/tracemill/                   the manual (tracemill.html, its images/) and
#                                          the read-me (tracemill.txt); the program finds
#                                          them there from bin/ (uAppliInfo FindProgramFile)
#   share/applications/, share/metainfo/   the menu entry and its AppStream description
#   share/mime/packages/                   ".trm" files as "Tracemill state file"
#   share/icons/hicolor/                   the icon, scalable and in PNG sizes
include(GNUInstallDirs)

set(TRACEMILL_APP_ID com.norvale.Tracemill)
set(TRACEMILL_DOC_SUBDIR share/doc/tracemill)
option(TRACEMILL_INSTALL_UPDATE_CACHES
       "After installing, refresh the MIME, desktop and icon caches of the prefix (skipped under DESTDIR)" ON)

# The manual and the read-me: installed, and copied into the build tree
# beside <build>/bin so that a program run from the build tree finds them too.
set(tracemill_docs ${PROJECT_SOURCE_DIR}/docs/tracemill.html ${PROJECT_SOURCE_DIR}/docs/tracemill.txt)
file(GLOB tracemill_doc_images CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
install(FILES ${tracemill_docs} DESTINATION ${TRACEMILL_DOC_SUBDIR})
install(FILES ${tracemill_doc_images} DESTINATION ${TRACEMILL_DOC_SUBDIR}/images)
foreach(file IN LISTS tracemill_docs tracemill_doc_images)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/docs ${file})
  configure_file(${file} ${CMAKE_BINARY_DIR}/${TRACEMILL_DOC_SUBDIR}/${relative} COPYONLY)
endforeach()

# Desktop integration.
set(desktop_dir ${PROJECT_SOURCE_DIR}/desktop)
install(FILES ${desktop_dir}/${TRACEMILL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${desktop_dir}/${TRACEMILL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${desktop_dir}/tracemill-mime.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME tracemill.xml)
set(icon_root ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES ${desktop_dir}/icons/tracemill.svg DESTINATION ${icon_root}/scalable/apps)
install(FILES ${desktop_dir}/icons/tracemill.svg DESTINATION ${icon_root}/scalable/mimetypes
        RENAME application-x-tracemill-state.svg)
foreach(size 16 32 48 64 128 256)
  install(FILES ${desktop_dir}/icons/tracemill-${size}.png DESTINATION ${icon_root}/${size}x${size}/apps
          RENAME tracemill.png)
endforeach()

if(TRACEMILL_INSTALL_UPDATE_CACHES)
  install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "")
      set(share "${CMAKE_INSTALL_PREFIX}/share")
      find_program(update_mime update-mime-database)
      find_program(update_desktop update-desktop-database)
      find_program(update_icons gtk-update-icon-cache)
      if(update_mime)
        execute_process(COMMAND ${update_mime} "${share}/mime" RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
          message(WARNING "update-mime-database ${share}/mime failed: ${rc}")
        endif()
      endif()
      if(update_desktop)
        execute_process(COMMAND ${update_desktop} -q "${share}/applications")
      endif()
      if(update_icons AND EXISTS "${share}/icons/hicolor/index.theme")
        execute_process(COMMAND ${update_icons} -q -t "${share}/icons/hicolor")
      endif()
    endif()
  ]])
endif()
