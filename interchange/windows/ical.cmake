# The iCalendar export and import dialogs, and the commands the planner and
# the diary history browser offer them by.
target_sources(interchange_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IcalCommands.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalCommands.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalExportDialog.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalExportDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalImportDialog.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalImportDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/IcalPlanModel.cpp ${CMAKE_CURRENT_LIST_DIR}/IcalPlanModel.h)
