# Installed layout: the program in bin/, its supplied files in share/velmora/,
# a desktop entry, icons and AppStream metadata; `cpack -G DEB` packs it.
include(GNUInstallDirs)
set(VELMORA_APP_ID com.velmora.notepad)
set(VELMORA_SHARE ${CMAKE_INSTALL_DATADIR}/velmora)

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELMORA_RUNTIME_DIR}/pad.db DESTINATION ${VELMORA_SHARE})
install(FILES data/pic/copy.bmp data/pic/null_pic.bmp DESTINATION ${VELMORA_SHARE}/pic)
install(FILES data/sample/test123.htm DESTINATION ${VELMORA_SHARE}/sample)
install(FILES data/regions/README.md data/regions/LICENSE-china-division.txt
        DESTINATION ${VELMORA_SHARE}/regions)
install(FILES data/desktop/${VELMORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/${VELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES data/icons/hicolor/${size}x${size}/velmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora计算机技术有限公司")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velmora商务记事本: diary, schedule, address book and toolbox")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora <support@velmora.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
