# WebDAV for the sync: the multistatus XML, one blocking HTTP call at a time,
# and finding or making the address book and calendar on a server.
target_sources(sync_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DavClient.cpp ${CMAKE_CURRENT_LIST_DIR}/DavClient.h
  ${CMAKE_CURRENT_LIST_DIR}/DavDiscovery.cpp ${CMAKE_CURRENT_LIST_DIR}/DavDiscovery.h
  ${CMAKE_CURRENT_LIST_DIR}/DavRequestBodies.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DavXml.cpp ${CMAKE_CURRENT_LIST_DIR}/DavXml.h)
