# vCard: contacts to and from the files phones, mail programs and address
# books exchange. The codec is our own (see interchange/README.md).
target_sources(interchange_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VCardReader.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardReader.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardText.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardText.h
  ${CMAKE_CURRENT_LIST_DIR}/CardContact.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardMapping.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardMapping.h
  ${CMAKE_CURRENT_LIST_DIR}/VCardWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/VCardWriter.h)
