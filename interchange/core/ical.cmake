# iCalendar: jobs (VTODO, with their completion log) and diary notes
# (VJOURNAL) to and from the files calendar programs exchange, through
# libical (see interchange/README.md).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)
target_sources(interchange_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IcalExport.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalExport.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalFile.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalFile.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalImport.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalImport.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalMapping.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalMapping.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalPlan.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalRecords.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalRecurrence.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalRecurrence.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalTime.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalTime.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalWriter.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalZones.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalZones.h
  ${CMAKE_CURRENT_LIST_DIR}/JobIdPool.cpp ${CMAKE_CURRENT_LIST_DIR}/JobIdPool.h
  ${CMAKE_CURRENT_LIST_DIR}/JobNoteStore.cpp ${CMAKE_CURRENT_LIST_DIR}/JobNoteStore.h
  ${CMAKE_CURRENT_LIST_DIR}/Libical.cpp ${CMAKE_CURRENT_LIST_DIR}/Libical.h)
target_link_libraries(interchange_core PUBLIC PkgConfig::LIBICAL)
