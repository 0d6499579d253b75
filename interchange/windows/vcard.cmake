# The vCard import panel of the address book's import tab, and the export
# run its export tab starts.
target_sources(interchange_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CardPlanModel.cpp ${CMAKE_CURRENT_LIST_DIR}/CardPlanModel.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardExportRun.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardExportRun.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardImportPanel.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardImportPanel.h)
