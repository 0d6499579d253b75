# vCard: contacts to and from the files phones, mail programs and address
# books exchange. The codec is our own (see interchange/README.md).
target_sources(interchange_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VCardReader.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardReader.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardText.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardText.h
  ${CMAKE_CURRENT_LIST_DIR}/CardContact.h
  ${CMAKE_CURRENT_LIST_DIR}/CardPhoto.cpp ${CMAKE_CURRENT_LIST_DIR}/CardPhoto.h
  ${CMAKE_CURRENT_LIST_DIR}/CardStore.cpp ${CMAKE_CURRENT_LIST_DIR}/CardStore.h
  ${CMAKE_CURRENT_LIST_DIR}/StoredText.cpp ${CMAKE_CURRENT_LIST_DIR}/StoredText.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardExport.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardExport.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardImport.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardImport.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardMapping.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardMapping.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardWriter.h)
# Photos are converted between the stored BMP and a card's PNG or JPEG.
target_link_libraries(interchange_core PUBLIC Qt6::Gui)
